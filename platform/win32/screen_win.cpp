#include "platform/win32/platform_win.h"

namespace lsg::win {

namespace {

class Win32Screen : public Screen {
 public:
  int screenWidth() const override { return GetSystemMetrics(SM_CXSCREEN); }
  int screenHeight() const override { return GetSystemMetrics(SM_CYSCREEN); }
  int cursorX() const override {
    POINT p{};
    GetCursorPos(&p);
    return p.x;
  }
  int cursorY() const override {
    POINT p{};
    GetCursorPos(&p);
    return p.y;
  }
  WindowHandle windowFromPoint(Point point) const override {
    return reinterpret_cast<WindowHandle>(WindowFromPoint({point.x, point.y}));
  }
  std::optional<Rect> windowRect(WindowHandle window) const override {
    RECT r{};
    if (!GetWindowRect(reinterpret_cast<HWND>(window), &r)) return std::nullopt;
    return Rect{r.left, r.top, r.right - r.left, r.bottom - r.top};
  }
  Picture takeSnapshot(WindowHandle) override { return {}; }
  void settle() override {}
};

}  // namespace

std::unique_ptr<Screen> makeScreen() { return std::make_unique<Win32Screen>(); }

}  // namespace lsg::win
