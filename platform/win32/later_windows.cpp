#include "platform/win32/later_windows.h"

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

}  // namespace

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
