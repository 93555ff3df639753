#pragma once

#include <windows.h>

#include <string>

#include "picture/background.h"
#include "ui/definition.h"

namespace lsg::win {

COLORREF colourOf(const ColourSetting& setting);

// The background of a canvas or a window for one paint: the picture placed by its mode and
// drawn only where `update` needs it, the rest filled with `colour`.
void paintBackground(HDC dc, const RECT& update, SIZE client, BackgroundPicture& background,
                     COLORREF colour);
// A shape box: the update area in its background colour, then the rectangle over the whole
// client area with its fill (with a null pen the rectangle leaves out its right column and
// bottom row, as GDI draws it).
void paintShapeBox(HDC dc, const RECT& update, SIZE client, COLORREF background, COLORREF fill,
                   bool outline);
void paintLabel(HDC dc, const RECT& update, SIZE client, COLORREF background,
                const std::wstring& text);

}  // namespace lsg::win
