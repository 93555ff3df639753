// A small window for scripts/latency.sh: it paints itself in a new colour about every
// 10 ms and never repeats one (red and green count the frames, blue is always 200), so a
// picture of it taken at one moment shows a colour the live window never shows again.
//
//   ticker.exe LEFT TOP SIZE
#include <windows.h>

#include <cstdlib>

namespace {

unsigned frame = 0;

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      ++frame;
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      HBRUSH brush = CreateSolidBrush(RGB(frame & 0xFF, (frame >> 8) & 0xFF, 200));
      FillRect(dc, &ps.rcPaint, brush);
      DeleteObject(brush);
      EndPaint(window, &ps);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int left = 0, top = 0, size = 64;
  if (__argc >= 4) {
    left = _wtoi(__wargv[1]);
    top = _wtoi(__wargv[2]);
    size = _wtoi(__wargv[3]);
  }
  WNDCLASSW c{};
  c.lpfnWndProc = windowProc;
  c.hInstance = instance;
  c.lpszClassName = L"LsgTicker";
  RegisterClassW(&c);
  HWND window = CreateWindowExW(WS_EX_NOACTIVATE, c.lpszClassName, L"lsg-ticker", WS_POPUP, left,
                                top, size, size, nullptr, nullptr, instance, nullptr);
  ShowWindow(window, SW_SHOWNOACTIVATE);
  SetTimer(window, 1, 10, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}
