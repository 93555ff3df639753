// A window of the end-to-end tests' own for the captures to point at: every pixel is a known
// function of its position, so a picture of it shows any shift, crop or scaling at once.
//
//   e2e_target.exe TITLE LEFT TOP WIDTH HEIGHT [CHILD_LEFT CHILD_TOP CHILD_WIDTH CHILD_HEIGHT]
//                  [topmost]
//
// The window has no frame, so its outer rectangle is its client area. The child control's
// place is in the window's client coordinates. The colours (see pixels.py beside this file):
//   window: red = x * 7 mod 256, green = y * 5 mod 256, blue = 200
//   child:  red = 40, green = x * 3 mod 256, blue = y * 11 mod 256
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kWindowClass[] = L"LsgE2eTarget";
constexpr wchar_t kChildClass[] = L"LsgE2eTargetChild";

std::uint32_t windowPixel(int x, int y) {
  return (static_cast<std::uint32_t>(x * 7 % 256) << 16) |
         (static_cast<std::uint32_t>(y * 5 % 256) << 8) | 200u;
}

std::uint32_t childPixel(int x, int y) {
  return (40u << 16) | (static_cast<std::uint32_t>(x * 3 % 256) << 8) |
         static_cast<std::uint32_t>(y * 11 % 256);
}

// Draws the whole client area from a 32-bit top-down buffer: no brushes, no blending, so
// the screen shows exactly these values on a true-colour display.
void paint(HWND window, std::uint32_t (*pixel)(int, int)) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  RECT client;
  GetClientRect(window, &client);
  const int w = client.right;
  const int h = client.bottom;
  if (w > 0 && h > 0) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) pixels[static_cast<std::size_t>(y) * w + x] = pixel(x, y);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, 0, 0, w, h, 0, 0, 0, h, pixels.data(), &info, DIB_RGB_COLORS);
  }
  EndPaint(window, &ps);
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      paint(window, windowPixel);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK childProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      paint(window, childPixel);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void registerClass(HINSTANCE instance, const wchar_t* name, WNDPROC proc) {
  WNDCLASSEXW c{};
  c.cbSize = sizeof(c);
  c.lpfnWndProc = proc;
  c.hInstance = instance;
  c.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  c.lpszClassName = name;
  RegisterClassExW(&c);
}

int number(int argc, wchar_t** argv, int at) {
  return at < argc ? static_cast<int>(std::wcstol(argv[at], nullptr, 10)) : 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  const int argc = __argc;
  wchar_t** argv = __wargv;
  if (argc < 6) return 2;
  const std::wstring title = argv[1];
  bool topmost = false;
  int numbers = argc;
  if (std::wstring(argv[argc - 1]) == L"topmost") {
    topmost = true;
    --numbers;
  }

  registerClass(instance, kWindowClass, windowProc);
  registerClass(instance, kChildClass, childProc);
  HWND window = CreateWindowExW(topmost ? WS_EX_TOPMOST : 0, kWindowClass, title.c_str(),
                                WS_POPUP | WS_CLIPCHILDREN, number(numbers, argv, 2),
                                number(numbers, argv, 3), number(numbers, argv, 4),
                                number(numbers, argv, 5), nullptr, nullptr, instance, nullptr);
  if (!window) return 3;
  if (numbers >= 10) {
    CreateWindowExW(0, kChildClass, L"", WS_CHILD | WS_VISIBLE, number(numbers, argv, 6),
                    number(numbers, argv, 7), number(numbers, argv, 8), number(numbers, argv, 9),
                    window, nullptr, instance, nullptr);
  }
  ShowWindow(window, SW_SHOWNOACTIVATE);
  UpdateWindow(window);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
