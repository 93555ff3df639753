// Fitting 画板1 to its picture, scrolling over it and clearing the view.
#include <gtest/gtest.h>

#include "app/picture_view.h"
#include "fake/fake_program.h"
#include "fake/test_pictures.h"

namespace lsg {
namespace {

struct View : ::testing::Test {
  void showPicture(const Picture& picture) {
    main().canvas("画板1").setPicture(picture);
    fitCanvasToPicture(p.program.app);
  }
  Form& main() { return p.mainWindow(); }
  Canvas& canvas() { return main().canvas("画板1"); }
  ScrollBar& horizontal() { return main().scrollBar("横向滚动条"); }
  ScrollBar& vertical() { return main().scrollBar("纵向滚动条"); }

  fake::FakeProgram p;
};

TEST_F(View, FitEnablesExactlyTheDirectionsLargerThanTheViewport) {
  struct Case {
    int w, h;
    bool horizontalOn, verticalOn;
    int horizontalMax, verticalMax;  // checked only when on
  };
  const Case cases[] = {
      {599, 442, false, false, 0, 0}, {600, 442, true, false, 1, 0},
      {599, 443, false, true, 0, 1},  {1000, 800, true, true, 401, 358},
      {300, 200, false, false, 0, 0}, {1024, 300, true, false, 425, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
    showPicture(fake::blankBmp(c.w, c.h));
    EXPECT_EQ(canvas().rect(), (Rect{0, 0, c.w, c.h}));
    EXPECT_EQ(horizontal().enabled(), c.horizontalOn);
    EXPECT_EQ(vertical().enabled(), c.verticalOn);
    EXPECT_EQ(p.windowOf(horizontal()).enabled, c.horizontalOn);
    if (c.horizontalOn) {
      EXPECT_EQ(horizontal().low(), 1);
      EXPECT_EQ(horizontal().high(), c.horizontalMax);
      EXPECT_EQ(horizontal().position(), 1);
      EXPECT_EQ(p.windowOf(horizontal()).scrollHigh, c.horizontalMax);
    }
    if (c.verticalOn) {
      EXPECT_EQ(vertical().high(), c.verticalMax);
      EXPECT_EQ(vertical().position(), 1);
    }
  }
}

TEST_F(View, ScrollingToBothMaximaAndBackLeavesTheCanvasOnePixelOut) {
  showPicture(fake::blankBmp(1000, 800));
  horizontal().userAction(ScrollAction::Bottom, 0);
  vertical().userAction(ScrollAction::Bottom, 0);
  EXPECT_EQ(canvas().rect(), (Rect{-401, -358, 1000, 800}));
  // The picture's bottom-right pixel is then the viewport's bottom-right pixel.
  EXPECT_EQ(canvas().rect().right() - 1, 598);
  EXPECT_EQ(canvas().rect().bottom() - 1, 441);
  horizontal().userAction(ScrollAction::Top, 0);
  vertical().userAction(ScrollAction::Top, 0);
  EXPECT_EQ(canvas().rect(), (Rect{-1, -1, 1000, 800}));
}

TEST_F(View, ARangeOfOneCannotScroll) {
  showPicture(fake::blankBmp(600, 442));
  horizontal().userAction(ScrollAction::LineDown, 0);
  horizontal().userAction(ScrollAction::Bottom, 0);
  EXPECT_EQ(canvas().rect().left, 0);
}

TEST_F(View, ADisabledScrollBarKeepsItsRangeAndPosition) {
  showPicture(fake::blankBmp(1000, 800));
  vertical().userAction(ScrollAction::PageDown, 0);
  showPicture(fake::blankBmp(1200, 100));
  EXPECT_FALSE(vertical().enabled());
  EXPECT_EQ(vertical().high(), 358);
  EXPECT_EQ(vertical().position(), 2);
  EXPECT_EQ(horizontal().high(), 601);
  EXPECT_EQ(canvas().rect(), (Rect{0, 0, 1200, 100}));
}

TEST_F(View, APictureThatDoesNotDecodeFitsAsNothing) {
  showPicture(Picture(std::vector<std::uint8_t>{'B', 'M', 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(canvas().rect(), (Rect{0, 0, 0, 0}));
  EXPECT_FALSE(horizontal().enabled());
  EXPECT_FALSE(vertical().enabled());
}

TEST_F(View, ClearHidesThePictureButKeepsItAndTwiceChangesNothing) {
  const Picture picture = fake::blankBmp(1000, 800);
  showPicture(picture);
  horizontal().userAction(ScrollAction::LineDown, 0);
  clearView(p.program.app);
  EXPECT_EQ(canvas().rect(), (Rect{0, 0, 0, 0}));
  EXPECT_FALSE(horizontal().enabled());
  EXPECT_FALSE(vertical().enabled());
  EXPECT_EQ(canvas().picture(), picture);
  EXPECT_EQ(horizontal().position(), 2);
  const int moves = p.windowOf(canvas()).moves;
  clearView(p.program.app);
  EXPECT_EQ(p.windowOf(canvas()).moves, moves);
  EXPECT_EQ(canvas().picture(), picture);
}

}  // namespace
}  // namespace lsg
