#pragma once

#include <deque>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/application.h"
#include "ui/window_system.h"

namespace lsg::fake {

// A fatal error of the program, as a test sees it.
struct FatalError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// What the window system looked like when the fatal error box was to be shown.
struct AtFatal {
  bool called = false;
  int enabledForms = 0;         // top-level windows the user could still reach
  int runningTimers = 0;        // timers that would still tick beneath the box
  std::size_t allocations = 0;  // allocationsSoFar() then
};

struct FakeWindow {
  Form* form = nullptr;
  Control* control = nullptr;
  WindowHandle parent = 0;
  Rect rect;
  bool visible = false;
  bool minimized = false;
  bool enabled = true;
  bool topmost = false;
  int topmostWrites = 0;
  int invalidations = 0;
  int moves = 0;
  int scrollLow = 0;
  int scrollHigh = 0;
  int scrollPosition = 0;
  int periodMs = 0;  // of the timer on this window, if any
  int dpi = 96;      // of the monitor a top-level window is on
};

// The frame, caption and menu bar a fake top-level window has around its client area at
// 96 DPI; they grow with the DPI, as the system's do.
inline constexpr Size kFakeFrame{6, 44};

// The window system in memory: windows are records, posted messages wait in a queue until
// the test delivers them, and every call is logged so a test can check the order.
class FakeWindowSystem : public WindowSystem {
 public:
  Application* app = nullptr;  // set by the test; messages are reported to it
  Size screen{1024, 768};
  int newWindowDpi = 96;  // of the monitor new windows appear on
  bool refuseForms = false;
  std::vector<std::string> log;

  Size screenSize() const override { return screen; }
  int dpi(WindowHandle window) const override;
  Size outerSize(WindowHandle window, Size client, int dpi) const override;
  Size clientSize(WindowHandle window) const override;
  WindowHandle createForm(Form& form, Rect outer) override;
  WindowHandle createControl(Control& control, WindowHandle parent) override;
  void arrangeZOrder(Form& form) override;
  void destroy(WindowHandle window) override;
  void postDestroy(WindowHandle window) override;
  void postQuit() override;
  void move(WindowHandle window, Rect rect) override;
  void show(WindowHandle window, ShowCommand command) override;
  bool isVisible(WindowHandle window) const override;
  void enable(WindowHandle window, bool enabled) override;
  void setTopmost(WindowHandle window, bool topmost) override;
  void bringForward(WindowHandle window) override;
  void invalidate(WindowHandle window, bool erase) override;
  void setScrollRange(WindowHandle scrollBar, int minimum, int maximum) override;
  void setScrollPosition(WindowHandle scrollBar, int position) override;
  void startTimer(WindowHandle owner, std::uintptr_t id, int periodMs) override;
  void stopTimer(WindowHandle owner, std::uintptr_t id) override;
  void runLoop() override;
  // Throws FatalError, once what it found is recorded in atFatal.
  [[noreturn]] void fatal(std::string_view message) override;
  AtFatal atFatal;

  // What the user or the platform does.
  void close(Form& form);                     // WM_CLOSE, e.g. the close button
  bool pressEscape(Form& focused, int keys);  // true when it closed the window
  void tick(Form& form);                      // every timer of the form ticks once
  // The window moved to a monitor of `newDpi`; the platform suggests `suggested`.
  void changeDpi(Form& form, int newDpi, Rect suggested);
  void deliverPosted();  // runs the queue until it is empty
  bool quitPosted() const { return quitPosted_; }

  FakeWindow& window(WindowHandle handle);
  const FakeWindow& window(WindowHandle handle) const;
  bool exists(WindowHandle handle) const { return windows_.count(handle) != 0; }

 private:
  WindowHandle add(FakeWindow w);
  std::map<WindowHandle, FakeWindow> windows_;
  std::deque<std::function<void()>> posted_;
  std::map<WindowHandle, std::vector<std::uintptr_t>> timers_;
  WindowHandle next_ = 0x100;
  bool quitPosted_ = false;
};

}  // namespace lsg::fake
