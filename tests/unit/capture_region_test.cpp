// Region capture on the in-memory platform: the frozen screen, the dragged outline and the
// pick from the frozen pixels.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "capture/bmp.h"
#include "capture/capture_commands.h"
#include "fake/fake_program.h"
#include "fake/test_pictures.h"

namespace lsg {
namespace {

std::uint32_t screenPixel(int x, int y) {
  return static_cast<std::uint32_t>((x * 7 % 256) << 16 | (y * 5 % 256) << 8 | (x + y) % 256);
}

// The screen's pixels at `r`, encoded independently of any crop.
Picture screenPart(Rect r) {
  std::vector<std::uint32_t> pixels;
  for (int y = r.top; y < r.bottom(); ++y)
    for (int x = r.left; x < r.right(); ++x) pixels.push_back(screenPixel(x, y));
  return encodeBmp(r.width, r.height, pixels.data(), static_cast<std::size_t>(r.width));
}

struct RegionCapture : ::testing::Test {
  RegionCapture() {
    p.screen.size = {160, 120};
    p.screen.pictures[0] = screenPart({0, 0, 160, 120});
  }
  Form& overlay() { return p.program.app.form("区域窗口"); }
  ShapeBox& box() { return overlay().shapeBox("外框"); }
  ShapeBox& inner() { return overlay().shapeBox("外框1"); }
  Canvas& picture() { return overlay().canvas("区域画板"); }
  Canvas& canvas1() { return p.mainWindow().canvas("画板1"); }

  void press(int x, int y) {
    p.screen.cursor = {x, y};
    overlay().leftDown({x, y, 0});
  }
  void moveOnWindow(int x, int y) {
    p.screen.cursor = {x, y};
    overlay().mouseMove({x, y, 0});
  }
  // The event's own coordinates are the canvas's; the handler reads the pointer instead.
  void moveOnPicture(int x, int y) {
    p.screen.cursor = {x, y};
    picture().mouseMove({-1000, -1000, 0});
  }

  fake::FakeProgram p{fake::blankBmp(300, 200)};
};

TEST_F(RegionCapture, FreezesTheScreenAfterMinimisingAndCoversItWithTheFrozenImage) {
  const Picture old = fake::blankBmp(3, 3);
  p.program.state.frozenScreen = old;
  bool oldHeldAtSnapshot = false;
  bool minimisedAndSettled = false;
  p.screen.onSnapshot = [&](WindowHandle) {
    oldHeldAtSnapshot = p.program.state.frozenScreen == old;
    minimisedAndSettled = p.windowOf(p.mainWindow()).minimized && p.screen.settles == 1;
  };
  startRegionCapture(p.program);

  EXPECT_TRUE(minimisedAndSettled);
  EXPECT_TRUE(oldHeldAtSnapshot) << "the old frozen screen goes only after the new one exists";
  EXPECT_EQ(p.screen.snapshots, (std::vector<WindowHandle>{0}));
  EXPECT_EQ(p.program.state.frozenScreen, p.screen.pictures[0]);
  EXPECT_EQ(overlay().picture(), p.screen.pictures[0]);
  EXPECT_EQ(picture().picture(), p.screen.pictures[0]);
  EXPECT_EQ(p.windowOf(overlay()).rect, (Rect{0, 0, 160, 120}));
  EXPECT_EQ(p.windowOf(picture()).rect, (Rect{0, 0, 160, 120}));
  EXPECT_TRUE(p.windowOf(overlay()).visible);
  EXPECT_TRUE(p.windowOf(overlay()).topmost);
  EXPECT_FALSE(p.windows.isVisible(box().handle()));
  EXPECT_EQ(p.windowOf(inner()).rect, (Rect{1, 1, 32, 31}));
}

// The frozen screen is in memory once as bytes and once decoded, however many holders it
// has: the shared state, 区域窗口 and 区域画板.
TEST_F(RegionCapture, FrozenScreenIsHeldOnceAndDecodedOnceForTheOverlay) {
  startRegionCapture(p.program);
  const std::uint8_t* frozen = p.program.state.frozenScreen->bytes().data();
  EXPECT_EQ(overlay().picture().bytes().data(), frozen);
  EXPECT_EQ(picture().picture().bytes().data(), frozen);
  const DecodedImage* decoded = overlay().background().decoded();
  ASSERT_NE(decoded, nullptr);
  EXPECT_EQ(picture().background().decoded(), decoded);
}

TEST_F(RegionCapture, TheOutlineFollowsTheDrag) {
  struct Step {
    bool overPicture;  // the move reaches 区域画板 instead of 区域窗口
    int x, y;
  };
  struct Case {
    const char* what;
    std::vector<Step> moves;  // after a press at 40, 30
    Rect box, inner;
  };
  const Case cases[] = {
      {"the smallest pick", {{false, 43, 33}}, {40, 30, 3, 3}, {1, 1, 1, 1}},
      {"a plain drag", {{false, 60, 50}, {false, 90, 70}}, {40, 30, 50, 40}, {1, 1, 48, 38}},
      // One pixel wide: 外框1's width of -1 keeps its last one, outside 外框 anyway.
      {"one pixel wide", {{false, 41, 80}}, {40, 30, 1, 50}, {1, 1, 32, 48}},
      {"two pixels high", {{false, 90, 32}}, {40, 30, 50, 2}, {1, 1, 48, 0}},
      {"up and left", {{false, 90, 70}, {false, 20, 10}}, {40, 30, 0, 0}, {1, 1, 0, 0}},
      // x - ax of -1 keeps 外框's previous width: a red block of that width.
      {"one left of the anchor",
       {{false, 90, 70}, {false, 39, 70}},
       {40, 30, 50, 40},
       {1, 1, 0, 38}},
      {"back over the picture",
       {{false, 90, 70}, {true, 60, 55}},
       {40, 30, 18, 23},
       {1, 1, 16, 21}},
      {"back again and on",
       {{false, 90, 70}, {true, 60, 55}, {false, 70, 65}},
       {40, 30, 30, 35},
       {1, 1, 28, 33}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    startRegionCapture(p.program);
    press(40, 30);
    EXPECT_EQ(p.program.state.dragging, 1);
    EXPECT_EQ(p.program.state.dragAnchor, (std::array<std::int32_t, 2>{40, 30}));
    EXPECT_EQ(p.windowOf(box()).rect, (Rect{40, 30, 0, 0}));
    EXPECT_TRUE(p.windows.isVisible(box().handle()));
    // Its top-left at the screen origin, so it lines up with the frozen image.
    EXPECT_EQ(p.windowOf(picture()).rect, (Rect{-41, -31, 160, 120}));
    for (const Step& s : c.moves) {
      if (s.overPicture) {
        moveOnPicture(s.x, s.y);
      } else {
        moveOnWindow(s.x, s.y);
      }
    }
    EXPECT_EQ(p.windowOf(box()).rect, c.box);
    EXPECT_EQ(p.windowOf(inner()).rect, c.inner);
    p.windows.close(overlay());
  }
}

TEST_F(RegionCapture, OnlyAReleaseOnTheWindowEndsTheDrag) {
  startRegionCapture(p.program);
  moveOnWindow(50, 50);
  EXPECT_FALSE(p.windows.isVisible(box().handle())) << "no drag yet: a move does nothing";

  press(40, 30);
  moveOnWindow(90, 70);
  picture().leftUp({5, 5, 0});  // over the rectangle: not seen
  box().leftUp({0, 0, 0});      // over the red line: not seen
  EXPECT_EQ(p.program.state.dragging, 1);
  moveOnWindow(100, 80);
  EXPECT_EQ(p.windowOf(box()).rect, (Rect{40, 30, 60, 50})) << "still following the pointer";

  overlay().leftUp({100, 80, 0});
  EXPECT_EQ(p.program.state.dragging, 0);
  moveOnWindow(120, 100);
  moveOnPicture(60, 50);
  EXPECT_EQ(p.windowOf(box()).rect, (Rect{40, 30, 60, 50}));

  press(10, 10);  // a new press discards the rectangle
  EXPECT_EQ(p.windowOf(box()).rect, (Rect{10, 10, 0, 0}));
}

TEST_F(RegionCapture, PickTakesTheInsideOfTheOutlineFromTheFrozenScreen) {
  struct Case {
    Point anchor, corner;
  };
  const Case cases[] = {{{40, 30}, {43, 33}}, {{40, 30}, {90, 70}}, {{0, 0}, {160, 120}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.corner.x) + "," + std::to_string(c.corner.y));
    startRegionCapture(p.program);
    press(c.anchor.x, c.anchor.y);
    moveOnWindow(c.corner.x, c.corner.y);
    overlay().leftUp({c.corner.x, c.corner.y, 0});
    // The live screen has changed since the command; the pick must not look at it.
    p.screen.pictures[0] = fake::blankBmp(160, 120);
    p.windows.log.clear();
    bool minimisedAtFit = false;
    picture().leftDown({0, 0, 0});
    minimisedAtFit = p.windowOf(p.mainWindow()).minimized;

    const int w = c.corner.x - c.anchor.x - 2;
    const int h = c.corner.y - c.anchor.y - 2;
    EXPECT_EQ(canvas1().picture(), screenPart({c.anchor.x + 1, c.anchor.y + 1, w, h}));
    EXPECT_EQ(canvas1().rect(), (Rect{0, 0, w, h})) << "fitted while 主窗口 is minimised";
    EXPECT_TRUE(minimisedAtFit);
    EXPECT_EQ(p.screen.snapshots, (std::vector<WindowHandle>{0}));
    p.windows.deliverPosted();
    EXPECT_EQ(p.program.app.find("区域窗口"), nullptr);
    EXPECT_FALSE(p.windowOf(p.mainWindow()).minimized);
    p.screen.snapshots.clear();
    p.screen.pictures[0] = screenPart({0, 0, 160, 120});
  }
}

}  // namespace
}  // namespace lsg
