#pragma once

#include <optional>

#include "picture/geometry.h"
#include "picture/picture.h"
#include "ui/window_system.h"

namespace lsg {

// The screen as the capture modes see it. platform/win32 implements the queries and copies
// with GDI and the compositor; the tests implement them in memory. Every query asks the
// platform afresh. Which rectangle a capture takes, and where its pixels come from, is
// decided here, the same on every platform.
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
  // Where the compositor draws a top-level window's visible edges, without the invisible
  // resize borders it keeps around them; nullopt for a child control, or where no
  // compositor reports them.
  virtual std::optional<Rect> visibleBounds(WindowHandle window) const = 0;
  virtual bool isWindowVisible(WindowHandle window) const = 0;
  // A 24-bit bottom-up BMP of `area` from the window's own device context, `area` being
  // relative to the window's outer top-left corner; empty when the copy failed.
  virtual Picture copyFromWindow(WindowHandle window, Rect area) = 0;
  // The same from the screen's device context, `area` in screen coordinates.
  virtual Picture copyFromScreen(Rect area) = 0;
  // Lets the screen catch up with windows that were just minimised or hidden.
  virtual void settle() = 0;

  // The rectangle a window capture frames and takes: a top-level window's visible bounds
  // where the compositor reports them, else its outer rectangle.
  std::optional<Rect> captureRect(WindowHandle window) const;
  // The whole primary screen (window 0), or the window at captureRect as its own device
  // context gives it. A copy that fails, or that is entirely black while the window is
  // visible (a window drawn by the graphics card gives black there), is taken from the
  // screen instead: the pixels the user sees inside the frame. Empty when the handle is not
  // a window or no copy worked.
  Picture takeSnapshot(WindowHandle window);
};

}  // namespace lsg
