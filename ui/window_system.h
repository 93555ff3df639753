#pragma once

#include <cstdint>
#include <string_view>

#include "picture/geometry.h"

namespace lsg {

// A platform window handle as the core sees it; 0 is no window.
using WindowHandle = std::uintptr_t;

class Control;
class Form;
struct ControlDefinition;
struct FormDefinition;

enum class ShowCommand { Hide, Show, Minimize, ShowNormal };

// What the window-and-control layer needs from the window system. platform/win32 implements
// it with HWNDs; the tests implement it in memory. Every call takes effect at once.
class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  virtual Size screenSize() const = 0;
  // The DPI of the monitor the window is on; 96 where the platform cannot say.
  virtual int dpi(WindowHandle window) const = 0;
  // The outer size of a top-level window whose client area is `client`, with the frame,
  // caption and menu bar it has at `dpi`.
  virtual Size outerSize(WindowHandle window, Size client, int dpi) const = 0;
  // The client area's size as the platform has it now.
  virtual Size clientSize(WindowHandle window) const = 0;

  // Creates the top-level window of `form` hidden at `outer` (screen coordinates), in the
  // always-on-top band when its definition says so. 0 when the window system refused.
  virtual WindowHandle createForm(Form& form, Rect outer) = 0;
  // Creates a child control, hidden, at its definition's place within `parent`'s client area.
  virtual WindowHandle createControl(Control& control, WindowHandle parent) = 0;
  // Puts the children of a form into the z-order of its definition, once all exist.
  virtual void arrangeZOrder(Form& form) = 0;

  // Destroys at once; the form's about-to-be-destroyed and destroyed notifications arrive
  // from within this call.
  virtual void destroy(WindowHandle window) = 0;
  // Posts the private message whose delivery destroys the window, after the running handler.
  virtual void postDestroy(WindowHandle window) = 0;
  virtual void postQuit() = 0;

  virtual void move(WindowHandle window, Rect rect) = 0;  // MoveWindow with repaint
  virtual void show(WindowHandle window, ShowCommand command) = 0;
  virtual bool isVisible(WindowHandle window) const = 0;
  virtual void enable(WindowHandle window, bool enabled) = 0;
  virtual void setTopmost(WindowHandle window, bool topmost) = 0;
  // Restores a minimised window and activates it.
  virtual void bringForward(WindowHandle window) = 0;
  virtual void invalidate(WindowHandle window, bool erase) = 0;

  virtual void setScrollRange(WindowHandle scrollBar, int minimum, int maximum) = 0;
  virtual void setScrollPosition(WindowHandle scrollBar, int position) = 0;
  virtual void startTimer(WindowHandle owner, std::uintptr_t id, int periodMs) = 0;
  virtual void stopTimer(WindowHandle owner, std::uintptr_t id) = 0;

  // Takes and dispatches messages until the quit message.
  virtual void runLoop() = 0;

  // An error message box, then the process ends at once with exit code -1 (the shared
  // state's release does not run). Never returns. Allocates nothing: it may be reporting
  // that memory ran out. Application::fatal quiets the program's windows first.
  [[noreturn]] virtual void fatal(std::string_view message) = 0;
};

}  // namespace lsg
