#pragma once

#include <windows.h>

#include "picture/geometry.h"
#include "picture/picture.h"

namespace lsg::win {

// A 24-bit bottom-up BMP of `area` from the window's own device context, which covers its
// whole outer rectangle; `area` is relative to that rectangle's top-left corner. Empty when
// the handle is not a window or a step failed.
Picture copyFromWindow(HWND window, Rect area);
// The same from the screen's device context, `area` in screen coordinates.
Picture copyFromScreen(Rect area);

}  // namespace lsg::win
