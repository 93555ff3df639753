#include "capture/screen.h"

#include "capture/bmp.h"

namespace lsg {

std::optional<Rect> Screen::captureRect(WindowHandle window) const {
  const std::optional<Rect> outer = windowRect(window);
  if (!outer) return std::nullopt;
  // Bounds outside the window's own rectangle cannot be copied from its device context;
  // a compositor that reports such is not believed.
  if (const std::optional<Rect> visible = visibleBounds(window)) {
    if (!visible->empty() && intersect(*visible, *outer) == *visible) return visible;
  }
  return outer;
}

Picture Screen::takeSnapshot(WindowHandle window) {
  if (!window) return copyFromScreen({0, 0, screenWidth(), screenHeight()});
  const std::optional<Rect> outer = windowRect(window);
  const std::optional<Rect> taken = captureRect(window);
  if (!outer || !taken) return {};
  Picture picture = copyFromWindow(
      window, {taken->left - outer->left, taken->top - outer->top, taken->width, taken->height});
  if (picture.empty() || (isAllBlackBmp(picture) && isWindowVisible(window))) {
    picture = copyFromScreen(*taken);
  }
  return picture;
}

}  // namespace lsg
