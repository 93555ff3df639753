#pragma once

#include <string>

#include "picture/geometry.h"
#include "ui/move.h"
#include "ui/window_system.h"

namespace lsg {

// What windows and controls share: a platform window, a place, visible and enabled.
// Properties take effect at once on the platform window.
class Widget {
 public:
  Widget(WindowSystem& windows, Rect place) : windows_(windows), rect_(place) {}
  Widget(const Widget&) = delete;
  Widget& operator=(const Widget&) = delete;
  virtual ~Widget() = default;

  WindowHandle handle() const { return handle_; }
  void attach(WindowHandle handle) { handle_ = handle; }

  // Screen coordinates of the outer rectangle for a window, the parent's client
  // coordinates for a control.
  Rect rect() const { return rect_; }
  // A move to the current rectangle does nothing; any other moves and repaints.
  void move(const Move& move);
  void setLeft(int left) { move({.left = left}); }
  void setTop(int top) { move({.top = top}); }

  bool visible() const;
  void setVisible(bool visible);
  bool enabled() const { return enabled_; }
  void setEnabled(bool enabled);

 protected:
  WindowSystem& windows() const { return windows_; }
  // The state a window is created in, before it has a platform window.
  void setEnabledState(bool enabled) { enabled_ = enabled; }

 private:
  WindowSystem& windows_;
  WindowHandle handle_ = 0;
  Rect rect_;
  bool enabled_ = true;
};

}  // namespace lsg
