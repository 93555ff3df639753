#include "platform/win32/later_windows.h"

#include <dwmapi.h>

namespace lsg::win {

namespace {

// A function of a system DLL that the process has loaded anyway; null when missing.
template <typename Function>
Function find(const wchar_t* module, const char* name) {
  HMODULE loaded = GetModuleHandleW(module);
  if (!loaded) return nullptr;
  // Through void* : GetProcAddress's own type is a placeholder for any function.
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(loaded, name)));
}

HMODULE systemDwmapi() {
  static const HMODULE module = [] {
    wchar_t path[MAX_PATH];
    const UINT n = GetSystemDirectoryW(path, MAX_PATH);
    constexpr wchar_t kName[] = L"\\dwmapi.dll";
    if (n == 0 || n + sizeof(kName) / sizeof(wchar_t) > MAX_PATH) return HMODULE{};
    for (std::size_t i = 0; i < sizeof(kName) / sizeof(wchar_t); ++i) path[n + i] = kName[i];
    return LoadLibraryW(path);
  }();
  return module;
}

template <typename Function>
Function findDwm(const char* name) {
  HMODULE module = systemDwmapi();
  if (!module) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

bool compositionEnabled() {
  using Function = HRESULT(WINAPI*)(BOOL*);
  static const Function isEnabled = findDwm<Function>("DwmIsCompositionEnabled");
  BOOL on = FALSE;
  return isEnabled && SUCCEEDED(isEnabled(&on)) && on;
}

bool extendedFrameBounds(HWND window, RECT& bounds) {
  using Function = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);
  static const Function getAttribute = findDwm<Function>("DwmGetWindowAttribute");
  return getAttribute &&
         SUCCEEDED(getAttribute(window, DWMWA_EXTENDED_FRAME_BOUNDS, &bounds, sizeof(bounds)));
}

void flushComposition() {
  using Function = HRESULT(WINAPI*)();
  static const Function flush = findDwm<Function>("DwmFlush");
  if (flush) flush();
}

void setTransitionsDisabled(HWND window, bool disabled) {
  using Function = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
  static const Function setAttribute = findDwm<Function>("DwmSetWindowAttribute");
  const BOOL value = disabled ? TRUE : FALSE;
  if (setAttribute) setAttribute(window, DWMWA_TRANSITIONS_FORCEDISABLED, &value, sizeof(value));
}

UINT dpiForWindow(HWND window) {
  using Function = UINT(WINAPI*)(HWND);
  static const Function getDpiForWindow = find<Function>(L"user32.dll", "GetDpiForWindow");
  return getDpiForWindow ? getDpiForWindow(window) : 0;
}

bool adjustWindowRectForDpi(RECT& rect, DWORD style, bool menu, DWORD exStyle, UINT dpi) {
  using Function = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  static const Function adjustForDpi = find<Function>(L"user32.dll", "AdjustWindowRectExForDpi");
  if (adjustForDpi) return adjustForDpi(&rect, style, menu, exStyle, dpi);
  return AdjustWindowRectEx(&rect, style, menu, exStyle);
}

}  // namespace lsg::win
