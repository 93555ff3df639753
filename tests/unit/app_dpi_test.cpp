// 主窗口 on a scaled display: the layout at dpi / 96, the viewport the fit reads, and a move
// to a monitor of another DPI. Pictures keep their physical pixels throughout.
#include <gtest/gtest.h>

#include "app/picture_view.h"
#include "capture/capture_commands.h"
#include "fake/fake_program.h"
#include "fake/test_pictures.h"
#include "ui/dpi.h"

namespace lsg {
namespace {

TEST(Dpi, ScalesAsMulDivRoundsHalfAwayFromZero) {
  struct Case {
    int value, dpi, scaled;
  };
  const Case cases[] = {
      {599, 96, 599},  {599, 144, 899},                 // 898.5
      {7, 144, 11},    {-7, 144, -11},                  // 10.5 either way from zero
      {5, 120, 6},     {6, 120, 8},                     // 6.25 and 7.5
      {442, 192, 884}, {0, 144, 0},     {17, 168, 30},  // 29.75
  };
  for (const Case& c : cases) {
    EXPECT_EQ(scaleToDpi(c.value, c.dpi), c.scaled) << c.value << " at " << c.dpi;
  }
  EXPECT_EQ(scaleToDpi(Rect{7, 449, 600, 18}, 144), (Rect{11, 674, 900, 27}));
}

struct Expected {
  const char* name;
  Rect rect;
};

// Every control of 主窗口 at 150 %: the definition's place, each number x 1.5 rounded.
const Expected kAt144[] = {
    {"横向滚动条", {11, 674, 900, 27}}, {"纵向滚动条", {909, 11, 26, 665}},
    {"内背景", {12, 11, 899, 663}},     {"画板1", {2, 2, 896, 660}},
    {"背景", {9, 9, 927, 695}},
};

TEST(Dpi, MainWindowAt144HoldsItsScaledLayoutCentred) {
  fake::FakeProgram p(fake::blankBmp(596, 440), 144);
  Form& w = p.mainWindow();
  for (const Expected& e : kAt144) {
    SCOPED_TRACE(e.name);
    EXPECT_EQ(p.windowOf(w.control(e.name)).rect, e.rect);
  }
  // The client area 629 x 477 at 150 %, with the frame, caption and menu bar of 150 %.
  const Size outer{944 + 9, 716 + 66};
  EXPECT_EQ(w.rect(),
            (Rect{(1024 - outer.width) / 2, (768 - outer.height) / 2, outer.width, outer.height}));
  EXPECT_EQ(p.windowOf(w).rect, w.rect());
  // Everything the layout draws lies inside the client area.
  EXPECT_LE(kAt144[4].rect.right(), p.windows.clientSize(w.handle()).width);
  EXPECT_LE(kAt144[0].rect.bottom(), p.windows.clientSize(w.handle()).height);
}

TEST(Dpi, TheFitReadsTheViewportThePlatformHasAndKeepsPicturesAtNaturalSize) {
  fake::FakeProgram p(fake::blankBmp(596, 440), 144);
  p.screen.size = {1600, 1200};
  p.screen.pictures[0] = fake::blankBmp(1600, 1200, 0x11);
  fullScreenCapture(p.program);
  Form& w = p.mainWindow();
  EXPECT_EQ(w.canvas("画板1").rect(), (Rect{0, 0, 1600, 1200}));
  EXPECT_EQ(w.scrollBar("横向滚动条").high(), 1600 - 899);
  EXPECT_EQ(w.scrollBar("纵向滚动条").high(), 1200 - 663);
  // A picture that a 96-DPI viewport would scroll fits the scaled one whole.
  w.canvas("画板1").setPicture(fake::blankBmp(800, 600));
  fitCanvasToPicture(p.program.app);
  EXPECT_FALSE(w.scrollBar("横向滚动条").enabled());
  EXPECT_FALSE(w.scrollBar("纵向滚动条").enabled());
  EXPECT_EQ(w.canvas("画板1").rect(), (Rect{0, 0, 800, 600}));
}

struct DpiChange : ::testing::Test {
  Form& main() { return p.mainWindow(); }
  ScrollBar& horizontal() { return main().scrollBar("横向滚动条"); }
  ScrollBar& vertical() { return main().scrollBar("纵向滚动条"); }
  void moveTo144() { p.windows.changeDpi(main(), 144, kSuggested); }

  static constexpr Rect kSuggested{40, 30, 953, 782};
  fake::FakeProgram p{fake::blankBmp(596, 440)};
};

TEST_F(DpiChange, LaysTheControlsOutAgainInTheSuggestedRectangle) {
  moveTo144();
  EXPECT_EQ(main().rect(), kSuggested);
  EXPECT_EQ(p.windowOf(main()).rect, kSuggested);
  for (const Expected& e : kAt144) {
    SCOPED_TRACE(e.name);
    EXPECT_EQ(p.windowOf(main().control(e.name)).rect, e.rect);
  }
  EXPECT_FALSE(horizontal().enabled()) << "the start-up view has nothing to scroll";
  // And back to 96 DPI: exactly the definition again.
  p.windows.changeDpi(main(), 96, {40, 30, 635, 521});
  EXPECT_EQ(p.windowOf(main().control("内背景")).rect, (Rect{8, 7, 599, 442}));
  EXPECT_EQ(p.windowOf(main().control("画板1")).rect, (Rect{1, 1, 597, 440}));
}

TEST_F(DpiChange, AFittedPictureKeepsItsPixelsAndGetsTheNewViewportsRanges) {
  main().canvas("画板1").setPicture(fake::blankBmp(1000, 800, 0x22));
  fitCanvasToPicture(p.program.app);
  horizontal().userAction(ScrollAction::Bottom, 0);
  vertical().userAction(ScrollAction::LineDown, 0);
  const Picture before = main().canvas("画板1").picture();

  moveTo144();
  EXPECT_EQ(main().canvas("画板1").picture(), before);
  EXPECT_EQ(p.windowOf(main().canvas("画板1")).rect, (Rect{0, 0, 1000, 800}));
  EXPECT_EQ(horizontal().high(), 1000 - 899);
  EXPECT_EQ(vertical().high(), 800 - 663);
  EXPECT_EQ(horizontal().position(), 1);
  EXPECT_EQ(p.windowOf(horizontal()).scrollHigh, 1000 - 899);
  EXPECT_TRUE(horizontal().enabled());

  // Back at 96 DPI the same picture scrolls over the smaller viewport again.
  p.windows.changeDpi(main(), 96, {40, 30, 635, 521});
  EXPECT_EQ(horizontal().high(), 1000 - 599);
  EXPECT_EQ(vertical().high(), 800 - 442);
}

TEST_F(DpiChange, AClearedViewStaysCleared) {
  main().canvas("画板1").setPicture(fake::blankBmp(1000, 800));
  fitCanvasToPicture(p.program.app);
  clearView(p.program.app);
  moveTo144();
  EXPECT_EQ(p.windowOf(main().canvas("画板1")).rect, (Rect{0, 0, 0, 0}));
  EXPECT_FALSE(horizontal().enabled());
  EXPECT_FALSE(vertical().enabled());
  EXPECT_EQ(p.windowOf(main().control("内背景")).rect, (Rect{12, 11, 899, 663}));
}

TEST_F(DpiChange, TheOverlaysStayInPhysicalPixels) {
  startWindowCapture(p.program);
  Form& overlay = p.program.app.form("快照窗口");
  const Rect frame = overlay.rect();
  const Rect inside = overlay.canvas("快照画板").rect();
  p.windows.changeDpi(overlay, 144, {0, 0, 500, 500});
  EXPECT_EQ(p.windowOf(overlay).rect, frame);
  EXPECT_EQ(p.windowOf(overlay.canvas("快照画板")).rect, inside);
}

}  // namespace
}  // namespace lsg
