#pragma once

#include "picture/geometry.h"

namespace lsg {

// The DPI the window definitions are written for: one pixel per definition unit.
inline constexpr int kLayoutDpi = 96;

// value x dpi / 96, rounded half away from zero as MulDiv rounds, so that a control lands
// where the platform's own scaling of the same numbers would put it.
int scaleToDpi(int value, int dpi);
Size scaleToDpi(Size size, int dpi);
// Each of left, top, width and height on its own, as a definition's place is written.
Rect scaleToDpi(Rect rect, int dpi);

}  // namespace lsg
