#pragma once

#include <vector>

#include "picture/geometry.h"

namespace lsg {

// Picture modes: 0 at the top-left corner at natural size; 1 tiled from the top-left
// corner; 2 centred, shrunk to fit keeping the aspect ratio, never enlarged; 3 (windows
// only) stretched over the whole client area.
inline constexpr int kPictureModeTopLeft = 0;
inline constexpr int kPictureModeTiled = 1;
inline constexpr int kPictureModeCentred = 2;
inline constexpr int kPictureModeStretched = 3;

// A written mode outside the range is clamped to the nearer end.
int clampCanvasPictureMode(int mode);  // 0..2
int clampWindowPictureMode(int mode);  // 0..3

// Where copies of a picture go in a client area (0, 0, client.width, client.height). Each
// Rect is a destination at the size the copy is drawn, natural or scaled; the painter
// clips to `update` and fills what no copy covers with the background colour. Mode 1
// returns only the tiles that meet `update`, row by row from the top; the other modes
// return their one copy whatever `update` is. An empty picture, or a copy that would be
// drawn at no size, gives no Rect. A mode out of range is clamped as for a window.
std::vector<Rect> placePicture(int mode, Size picture, Size client, Rect update);

}  // namespace lsg
