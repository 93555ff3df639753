#pragma once

#include <optional>

#include "picture/geometry.h"
#include "picture/picture.h"
#include "ui/window_system.h"

namespace lsg {

// The screen as the capture modes see it. platform/win32 implements it with GDI; the tests
// implement it in memory. Every query asks the platform afresh.
class Screen {
 public:
  virtual ~Screen() = default;

  virtual int screenWidth() const = 0;
  virtual int screenHeight() const = 0;
  virtual int cursorX() const = 0;
  virtual int cursorY() const = 0;
  // The innermost visible, enabled window at a screen point.
  virtual WindowHandle windowFromPoint(Point point) const = 0;
  // The outer rectangle in screen coordinates; nullopt when the handle is not a window.
  virtual std::optional<Rect> windowRect(WindowHandle window) const = 0;
  // A 24-bit bottom-up BMP of the whole primary screen (window 0) or of one window's outer
  // rectangle at its natural size; empty when the handle is not a window or the copy failed.
  virtual Picture takeSnapshot(WindowHandle window) = 0;
  // Lets the screen catch up with windows that were just minimised or hidden.
  virtual void settle() = 0;
};

}  // namespace lsg
