#include "picture/placement.h"

#include <algorithm>
#include <cstdint>

namespace lsg {

namespace {

// Shrinks a picture larger than the client area to fit and centres it, in the steps and
// the arithmetic (a floating-point scale, sizes truncated) that give its known positions.
Rect centred(Size picture, Size client) {
  const int pw = picture.width;
  const int ph = picture.height;
  int x = 0;
  int y = 0;
  int aw = client.width;
  int ah = client.height;
  if (pw <= client.width) {
    x = (client.width - pw) / 2;
    aw = pw;
  }
  if (ph <= client.height) {
    y = (client.height - ph) / 2;
    ah = ph;
  }
  int dw = pw;
  int dh = ph;
  if (pw > aw || ph > ah) {
    const double s = std::min(static_cast<double>(aw) / pw, static_cast<double>(ah) / ph);
    dw = static_cast<int>(pw * s);
    dh = static_cast<int>(ph * s);
    x += (aw - dw) / 2;
    y += (ah - dh) / 2;
  }
  return {x, y, dw, dh};
}

// The tiles that meet `update`: only their columns and rows are visited, so a small
// picture on a large client area costs nothing for the tiles outside the update.
std::vector<Rect> tiles(Size picture, Size client, Rect update) {
  const Rect area = intersect(update, {0, 0, client.width, client.height});
  std::vector<Rect> out;
  if (area.empty()) return out;
  const int firstColumn = area.left / picture.width;
  const int firstRow = area.top / picture.height;
  // 64-bit so that the step past the last tile cannot overflow.
  for (std::int64_t y = std::int64_t{firstRow} * picture.height; y < area.bottom();
       y += picture.height) {
    for (std::int64_t x = std::int64_t{firstColumn} * picture.width; x < area.right();
         x += picture.width) {
      out.push_back({static_cast<int>(x), static_cast<int>(y), picture.width, picture.height});
    }
  }
  return out;
}

}  // namespace

int clampCanvasPictureMode(int mode) {
  return std::clamp(mode, kPictureModeTopLeft, kPictureModeCentred);
}

int clampWindowPictureMode(int mode) {
  return std::clamp(mode, kPictureModeTopLeft, kPictureModeStretched);
}

std::vector<Rect> placePicture(int mode, Size picture, Size client, Rect update) {
  if (picture.width <= 0 || picture.height <= 0) return {};
  Rect copy;
  switch (clampWindowPictureMode(mode)) {
    case kPictureModeTopLeft:
      copy = {0, 0, picture.width, picture.height};
      break;
    case kPictureModeTiled:
      return tiles(picture, client, update);
    case kPictureModeCentred:
      copy = centred(picture, client);
      break;
    case kPictureModeStretched:
      copy = {0, 0, client.width, client.height};
      break;
  }
  if (copy.empty()) return {};
  return {copy};
}

}  // namespace lsg
