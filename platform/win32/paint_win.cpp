#include "platform/win32/paint_win.h"

#include "picture/placement.h"
#include "platform/win32/scoped.h"
#include "platform/win32/text.h"

namespace lsg::win {

namespace {

// Stretched copies are smoothed only where the display can show the result.
int stretchMode() {
  DEVMODEW mode{};
  mode.dmSize = sizeof(mode);
  if (EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode) && mode.dmBitsPerPel > 16) {
    return HALFTONE;
  }
  return COLORONCOLOR;
}

BITMAPINFO topDownHeader(int width, int rows) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -rows;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

// A copy at natural size: only the rows and columns inside the update area are converted.
// The header describes just the visible rows, so the source origin is always row 0 and
// the top-down/bottom-up origin rules of GDI never come into it.
void drawNatural(HDC dc, const DecodedImage& image, const Rect& copy, const Rect& update) {
  const Rect visible = intersect(copy, update);
  if (visible.empty()) return;
  const int firstRow = visible.top - copy.top;
  const BITMAPINFO info = topDownHeader(image.width, visible.height);
  const std::uint32_t* rows =
      image.pixels.data() + static_cast<std::size_t>(firstRow) * image.width;
  SetDIBitsToDevice(dc, visible.left, visible.top, visible.width, visible.height,
                    visible.left - copy.left, 0, 0, visible.height, rows, &info, DIB_RGB_COLORS);
}

void drawScaled(HDC dc, const DecodedImage& image, const Rect& copy) {
  const BITMAPINFO info = topDownHeader(image.width, image.height);
  const int previous = SetStretchBltMode(dc, stretchMode());
  SetBrushOrgEx(dc, 0, 0, nullptr);  // HALFTONE needs the brush origin reset
  StretchDIBits(dc, copy.left, copy.top, copy.width, copy.height, 0, 0, image.width, image.height,
                image.pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
  SetStretchBltMode(dc, previous);
}

void fill(HDC dc, const RECT& area, COLORREF colour) {
  UniqueBrush brush(CreateSolidBrush(colour));
  FillRect(dc, &area, brush.get());
}

}  // namespace

COLORREF colourOf(const ColourSetting& setting) {
  if (setting.buttonFace) return GetSysColor(COLOR_BTNFACE);
  return RGB(setting.rgb.red, setting.rgb.green, setting.rgb.blue);
}

void paintBackground(HDC dc, const RECT& update, SIZE client, BackgroundPicture& background,
                     COLORREF colour) {
  const DecodedImage* image = background.decoded();
  if (!image) {
    fill(dc, update, colour);
    return;
  }
  const Rect area = fromRECT(update);
  const std::vector<Rect> copies =
      placePicture(background.mode(), {image->width, image->height}, {client.cx, client.cy}, area);
  // The background colour goes only where no copy lands, so nothing is painted twice.
  const int saved = SaveDC(dc);
  for (const Rect& c : copies) ExcludeClipRect(dc, c.left, c.top, c.right(), c.bottom());
  fill(dc, update, colour);
  RestoreDC(dc, saved);
  for (const Rect& c : copies) {
    if (c.width == image->width && c.height == image->height) {
      drawNatural(dc, *image, c, area);
    } else {
      drawScaled(dc, *image, c);
    }
  }
}

void paintShapeBox(HDC dc, const RECT& update, SIZE client, COLORREF background,
                   COLORREF fillColour, bool outline) {
  fill(dc, update, background);
  UniqueBrush brush(CreateSolidBrush(fillColour));
  Selection pen(dc, GetStockObject(outline ? BLACK_PEN : NULL_PEN));
  Selection selected(dc, brush.get());
  Rectangle(dc, 0, 0, client.cx, client.cy);
}

void paintLabel(HDC dc, const RECT& update, SIZE client, COLORREF background,
                const std::wstring& text) {
  fill(dc, update, background);
  if (text.empty()) return;
  RECT all{0, 0, client.cx, client.cy};
  SetBkMode(dc, TRANSPARENT);
  Selection font(dc, GetStockObject(DEFAULT_GUI_FONT));
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &all, DT_LEFT | DT_TOP | DT_WORDBREAK);
}

}  // namespace lsg::win
