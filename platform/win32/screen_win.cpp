#include <dwmapi.h>

#include "platform/win32/platform_win.h"
#include "platform/win32/snapshot_win.h"

namespace lsg::win {

namespace {

// How long the screen is given to catch up after 主窗口 was minimised where no compositor
// draws it (Wine, Windows 7 without Aero): the windows beneath repaint the place it left in
// their own processes, in their own time. Measured under Wine on a loaded two-core machine
// with loops of Ctrl+A (scripts/latency.sh with LSG_LOAD=2): with no wait 2 pictures of 12
// still held part of 主窗口; with 30 ms and more none did. 50 ms leaves a margin over that
// and is a fifth of the fixed wait it replaces.
constexpr DWORD kSettleMs = 50;

bool compositionOn() {
  BOOL on = FALSE;
  return SUCCEEDED(DwmIsCompositionEnabled(&on)) && on;
}

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
    return toRect(r);
  }
  std::optional<Rect> visibleBounds(WindowHandle window) const override {
    const HWND w = reinterpret_cast<HWND>(window);
    if (!IsWindow(w) || (GetWindowLongPtrW(w, GWL_STYLE) & WS_CHILD)) return std::nullopt;
    // Fails where no compositor draws the window, and on systems that lack the attribute.
    RECT r{};
    if (FAILED(DwmGetWindowAttribute(w, DWMWA_EXTENDED_FRAME_BOUNDS, &r, sizeof(r)))) {
      return std::nullopt;
    }
    return toRect(r);
  }
  bool isWindowVisible(WindowHandle window) const override {
    return IsWindowVisible(reinterpret_cast<HWND>(window));
  }
  Picture copyFromWindow(WindowHandle window, Rect area) override {
    return win::copyFromWindow(reinterpret_cast<HWND>(window), area);
  }
  Picture copyFromScreen(Rect area) override { return win::copyFromScreen(area); }
  void settle() override {
    GdiFlush();
    // The compositor keeps every window's last picture, so the windows beneath need no
    // repaint: the next frame it presents no longer holds 主窗口, whose minimise runs
    // without animation (see Win32WindowSystem::show).
    if (compositionOn()) {
      DwmFlush();
      return;
    }
    Sleep(kSettleMs);
  }

 private:
  static Rect toRect(const RECT& r) { return {r.left, r.top, r.right - r.left, r.bottom - r.top}; }
  static POINT cursor() {
    POINT p{};
    GetCursorPos(&p);
    return p;
  }
};

}  // namespace

std::unique_ptr<Screen> makeScreen() { return std::make_unique<Win32Screen>(); }

}  // namespace lsg::win
