#pragma once

#include <windows.h>

#include "picture/picture.h"

namespace lsg::win {

// A 24-bit bottom-up BMP of the whole primary screen (window null) or of a window's outer
// rectangle at its natural size; empty when the handle is not a window or a step failed.
Picture takeSnapshot(HWND window);

}  // namespace lsg::win
