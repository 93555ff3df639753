// A first start-up: an empty main window with the program's title, size and icon.
// It closes on Esc and the process exits 0 once the window is gone.
#include <windows.h>

#include "resources/resource_ids.h"

namespace lsg {
namespace {

constexpr wchar_t kClassName[] = L"LanshanguoMain";
constexpr int kOuterWidth = 635;
constexpr int kOuterHeight = 521;

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_SHIFT) >= 0 &&
          GetKeyState(VK_MENU) >= 0) {
        PostMessageW(window, WM_CLOSE, 0, 0);
        return 0;
      }
      break;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

int run(HINSTANCE instance) {
  HICON icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 0, 0,
                                             LR_DEFAULTSIZE | LR_SHARED));
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = mainWindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  windowClass.hIcon = icon;
  windowClass.hIconSm = icon;
  if (!RegisterClassExW(&windowClass)) return -1;

  const int left = (GetSystemMetrics(SM_CXSCREEN) - kOuterWidth) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - kOuterHeight) / 2;
  const DWORD style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  HWND window = CreateWindowExW(0, kClassName, L"蓝杉果高级屏幕截图软件", style, left, top,
                                kOuterWidth, kOuterHeight, nullptr, nullptr, instance, nullptr);
  if (!window) return -1;
  SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  ShowWindow(window, SW_SHOW);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace
}  // namespace lsg

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return lsg::run(instance); }
