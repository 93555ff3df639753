// Where a picture goes in a client area for each picture mode.

#include <gtest/gtest.h>

#include <vector>

#include "picture/placement.h"

namespace lsg {
namespace {

struct Case {
  int mode;
  Size picture;
  Size client;
  Rect update;
  std::vector<Rect> expected;
};

TEST(PicturePlacement, OneCopyModes) {
  const Rect all{0, 0, 10000, 10000};
  const Case cases[] = {
      {0, {1000, 500}, {400, 400}, all, {{0, 0, 1000, 500}}},
      {0, {10, 10}, {400, 400}, {300, 300, 5, 5}, {{0, 0, 10, 10}}},  // the painter clips
      // Mode 2: shrunk to fit keeping the aspect ratio, centred, never enlarged.
      {2, {1000, 500}, {400, 400}, all, {{0, 100, 400, 200}}},
      {2, {300, 500}, {400, 400}, all, {{80, 0, 240, 400}}},
      {2, {100, 50}, {400, 400}, all, {{150, 175, 100, 50}}},
      {2, {400, 400}, {400, 400}, all, {{0, 0, 400, 400}}},
      {2, {596, 440}, {597, 440}, all, {{0, 0, 596, 440}}},  // the odd column stays on the right
      {2, {597, 441}, {596, 440}, all, {{0, 0, 595, 440}}},
      // 44 x (30 / 44) is just below 30 in floating point and truncates to 29.
      {2, {44, 10}, {30, 30}, all, {{0, 12, 29, 6}}},
      {2, {800, 100}, {400, 400}, all, {{0, 175, 400, 50}}},
      {2, {5000, 1}, {400, 400}, all, {}},  // shrinks to no height: nothing to draw
      {2, {100, 100}, {0, 0}, all, {}},
      // Mode 3 stretches to the client area, whatever the picture's size.
      {3, {100, 50}, {400, 300}, all, {{0, 0, 400, 300}}},
      {3, {100, 50}, {0, 300}, all, {}},
      // No picture, no copy.
      {0, {0, 0}, {400, 400}, all, {}},
      {2, {0, 50}, {400, 400}, all, {}},
      {1, {50, 0}, {400, 400}, all, {}},
      // A mode out of range is clamped as for a window.
      {7, {100, 50}, {400, 300}, all, {{0, 0, 400, 300}}},
      {-1, {100, 50}, {400, 300}, all, {{0, 0, 100, 50}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "mode " << c.mode << ", " << c.picture.width << "x" << c.picture.height
                 << " in " << c.client.width << "x" << c.client.height);
    EXPECT_EQ(placePicture(c.mode, c.picture, c.client, c.update), c.expected);
  }
}

TEST(PicturePlacement, TilesCoverTheClientAreaRowByRow) {
  const std::vector<Rect> expected = {
      {0, 0, 40, 30},  {40, 0, 40, 30},  {80, 0, 40, 30},
      {0, 30, 40, 30}, {40, 30, 40, 30}, {80, 30, 40, 30},
  };
  EXPECT_EQ(placePicture(1, {40, 30}, {100, 50}, {0, 0, 100, 50}), expected);
}

TEST(PicturePlacement, TilesOnlyWhereTheyMeetTheUpdate) {
  const Case cases[] = {
      // Inside one tile.
      {1, {40, 30}, {400, 300}, {45, 35, 10, 10}, {{40, 30, 40, 30}}},
      // Touching a tile edge does not meet it: the update starts where tile 1 ends.
      {1, {40, 30}, {400, 300}, {40, 0, 40, 30}, {{40, 0, 40, 30}}},
      // Across four tiles.
      {1,
       {40, 30},
       {400, 300},
       {79, 59, 2, 2},
       {{40, 30, 40, 30}, {80, 30, 40, 30}, {40, 60, 40, 30}, {80, 60, 40, 30}}},
      // Outside the client area, or empty.
      {1, {40, 30}, {400, 300}, {400, 0, 50, 50}, {}},
      {1, {40, 30}, {400, 300}, {10, 10, 0, 5}, {}},
      // Partly outside: only the tiles that start inside the client area.
      {1,
       {40, 30},
       {100, 50},
       {-20, 40, 500, 500},
       {{0, 30, 40, 30}, {40, 30, 40, 30}, {80, 30, 40, 30}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "update " << c.update.left << "," << c.update.top << " "
                                    << c.update.width << "x" << c.update.height);
    EXPECT_EQ(placePicture(c.mode, c.picture, c.client, c.update), c.expected);
  }
}

TEST(PicturePlacement, OnePixelPictureTilesAHugeAreaOnlyInsideTheUpdate) {
  const auto tiles = placePicture(1, {1, 1}, {30000, 30000}, {29998, 29998, 100, 100});
  const std::vector<Rect> expected = {
      {29998, 29998, 1, 1}, {29999, 29998, 1, 1}, {29998, 29999, 1, 1}, {29999, 29999, 1, 1}};
  EXPECT_EQ(tiles, expected);
}

TEST(PicturePlacement, ModesClampToTheNearerEnd) {
  const int cases[][3] = {
      // written, canvas, window
      {-100, 0, 0}, {-1, 0, 0}, {0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {3, 2, 3}, {4, 2, 3}, {7, 2, 3}};
  for (const auto& c : cases) {
    EXPECT_EQ(clampCanvasPictureMode(c[0]), c[1]) << c[0];
    EXPECT_EQ(clampWindowPictureMode(c[0]), c[2]) << c[0];
  }
}

}  // namespace
}  // namespace lsg
