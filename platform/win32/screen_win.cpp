#include <dwmapi.h>

#include "platform/win32/platform_win.h"
#include "platform/win32/snapshot_win.h"

namespace lsg::win {

namespace {

// How long the screen is given to catch up after 主窗口 was minimised. Under Wine the
// screen showed no trace of 主窗口 even with no wait at all (seven runs of Ctrl+A on a
// loaded two-core machine, each picture equal to the minimised screen); the wait is for
// Windows, whose compositor animates the minimise for a few hundred milliseconds at most,
// and it stays short enough not to be noticed between the command and the picture.
constexpr DWORD kSettleMs = 250;

class Win32Screen : public Screen {
 public:
  int screenWidth() const override { return GetSystemMetrics(SM_CXSCREEN); }
  int screenHeight() const override { return GetSystemMetrics(SM_CYSCREEN); }
  int cursorX() const override { return cursor().x; }
  int cursorY() const override { return cursor().y; }
  WindowHandle windowFromPoint(Point point) const override {
    return reinterpret_cast<WindowHandle>(WindowFromPoint({point.x, point.y}));
  }
  std::optional<Rect> windowRect(WindowHandle window) const override {
    RECT r{};
    if (!GetWindowRect(reinterpret_cast<HWND>(window), &r)) return std::nullopt;
    return Rect{r.left, r.top, r.right - r.left, r.bottom - r.top};
  }
  Picture takeSnapshot(WindowHandle window) override {
    return win::takeSnapshot(reinterpret_cast<HWND>(window));
  }
  void settle() override {
    // The compositor, where there is one, shows what was drawn up to now; the wait is for
    // the windows beneath 主窗口, whose processes repaint in their own time.
    GdiFlush();
    DwmFlush();
    Sleep(kSettleMs);
  }

 private:
  static POINT cursor() {
    POINT p{};
    GetCursorPos(&p);
    return p;
  }
};

}  // namespace

std::unique_ptr<Screen> makeScreen() { return std::make_unique<Win32Screen>(); }

}  // namespace lsg::win
