// Window capture on the in-memory platform: the blinking frame, the pick and the ways the
// mode ends.
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "capture/capture_commands.h"
#include "fake/fake_program.h"
#include "fake/test_pictures.h"

namespace lsg {
namespace {

constexpr WindowHandle kTarget = 0x9001;
constexpr WindowHandle kOther = 0x9002;

struct WindowCapture : ::testing::Test {
  WindowCapture() {
    // Not black: an all-black copy would be taken again from the screen.
    p.screen.rects[kTarget] = {100, 50, 200, 120};
    p.screen.pictures[kTarget] = fake::blankBmp(200, 120, 0x80);
    // Off the screen on every side, as a maximised window's frame is.
    p.screen.rects[kOther] = {-4, -4, 1032, 776};
    p.screen.pictures[kOther] = fake::blankBmp(1032, 776, 0x40);
    p.screen.under = kTarget;
  }
  Form& overlay() { return p.program.app.form("快照窗口"); }
  Canvas& picture() { return overlay().canvas("快照画板"); }
  Canvas& canvas1() { return p.mainWindow().canvas("画板1"); }
  bool shown() { return p.windows.isVisible(overlay().handle()); }
  void tick() { p.windows.tick(overlay()); }
  void pick() { picture().leftDown({5, 5, 0}); }

  fake::FakeProgram p{fake::blankBmp(300, 200)};
};

TEST_F(WindowCapture, StartsHiddenOutOfTheTopmostBandWithMainWindowMinimised) {
  startWindowCapture(p.program);
  EXPECT_TRUE(p.windowOf(p.mainWindow()).minimized);
  EXPECT_FALSE(shown());
  EXPECT_EQ(overlay().rect(), (Rect{(1024 - 65) / 2, (768 - 38) / 2, 65, 38}));
  EXPECT_EQ(p.windowOf(picture()).rect, (Rect{1, 1, 37, 36}));
  EXPECT_EQ(p.windowOf(overlay()).periodMs, 1000);
  EXPECT_FALSE(p.windowOf(overlay()).topmost);
  EXPECT_TRUE(p.screen.snapshots.empty()) << "nothing is taken before the first tick";

  // Chosen again while it runs: 主窗口 goes down again, the same overlay comes forward.
  restoreMainWindow(p.program.app);
  const WindowHandle first = overlay().handle();
  p.windows.log.clear();
  startWindowCapture(p.program);
  EXPECT_EQ(overlay().handle(), first);
  EXPECT_EQ(p.windows.log, (std::vector<std::string>{"minimize 主窗口", "bring forward 快照窗口"}));
  EXPECT_EQ(p.windowOf(overlay()).topmostWrites, 1) << "no second created event";
}

TEST_F(WindowCapture, TicksShowAroundThePointedWindowThenHideInTurn) {
  startWindowCapture(p.program);
  std::vector<bool> shownAtSnapshot;
  p.screen.onSnapshot = [&](WindowHandle) { shownAtSnapshot.push_back(shown()); };

  struct Tick {
    WindowHandle under;
    bool shows;
    std::array<std::int32_t, 4> pickRect;
    Rect frame;   // 快照窗口, when shown
    Rect inside;  // 快照画板, when shown
  };
  const Tick ticks[] = {
      {kTarget, true, {100, 50, 200, 120}, {98, 48, 204, 124}, {2, 2, 200, 120}},
      {kOther, false, {-4, -4, 1032, 776}, {}, {}},
      {kOther, true, {-4, -4, 1032, 776}, {-6, -6, 1036, 780}, {2, 2, 1032, 776}},
      {kTarget, false, {100, 50, 200, 120}, {}, {}},
      {kTarget, true, {100, 50, 200, 120}, {98, 48, 204, 124}, {2, 2, 200, 120}},
  };
  int n = 0;
  for (const Tick& t : ticks) {
    SCOPED_TRACE("tick " + std::to_string(++n));
    p.screen.under = t.under;
    tick();
    EXPECT_EQ(p.program.state.pickedWindow, t.under);
    EXPECT_EQ(p.program.state.pickRect, t.pickRect) << "left, top, width, height";
    EXPECT_TRUE(p.windowOf(overlay()).topmost);
    EXPECT_EQ(p.windowOf(overlay()).topmostWrites, 1 + n) << "written on every tick";
    EXPECT_EQ(shown(), t.shows);
    if (!t.shows) continue;
    EXPECT_EQ(p.windowOf(overlay()).rect, t.frame);
    EXPECT_EQ(p.windowOf(picture()).rect, t.inside);
    EXPECT_EQ(picture().picture(), p.screen.pictures[t.under]);
  }
  EXPECT_EQ(p.screen.snapshots, (std::vector<WindowHandle>{kTarget, kOther, kTarget}));
  EXPECT_EQ(shownAtSnapshot, (std::vector<bool>{false, false, false}))
      << "every snapshot is taken while the overlay is hidden";
}

TEST_F(WindowCapture, TheOverlayNeverFramesItself) {
  startWindowCapture(p.program);
  // The platform never reports a hidden window: over the shown frame the pointer finds
  // the overlay's picture, otherwise the target beneath it.
  p.screen.hitTest = [this](Point) { return shown() ? picture().handle() : kTarget; };
  for (int i = 0; i < 6; ++i) {
    tick();
    if (shown()) {
      EXPECT_EQ(p.windowOf(overlay()).rect, (Rect{98, 48, 204, 124}));
    }
  }
  EXPECT_EQ(p.screen.snapshots, (std::vector<WindowHandle>(3, kTarget)));
}

TEST_F(WindowCapture, PickTakesThePictureOfTheLastShowingTickAndFitsTheView) {
  startWindowCapture(p.program);
  tick();  // shows kTarget
  p.screen.under = kOther;
  tick();  // hides; the pointer has moved on
  tick();  // shows kOther
  p.screen.under = kTarget;
  tick();  // hides
  const Picture expected = p.screen.pictures[kOther];
  tick();  // shows kTarget again
  p.screen.under = kOther;
  tick();
  tick();  // shows kOther: the one to be picked

  p.windows.log.clear();
  pick();
  EXPECT_FALSE(shown());
  EXPECT_FALSE(p.windowOf(p.mainWindow()).minimized);
  EXPECT_EQ(canvas1().picture(), expected);
  EXPECT_EQ(p.windows.log,
            (std::vector<std::string>{"hide 快照窗口", "restore 主窗口", "post destroy"}));
  p.windows.deliverPosted();
  EXPECT_EQ(p.program.app.find("快照窗口"), nullptr);
  EXPECT_EQ(canvas1().rect(), (Rect{0, 0, 1032, 776}));
  EXPECT_TRUE(p.mainWindow().scrollBar("横向滚动条").enabled());
  EXPECT_EQ(p.mainWindow().scrollBar("纵向滚动条").maximum(), 776 - 442);
}

TEST_F(WindowCapture, AWindowThatVanishedGivesAnEmptyPicture) {
  startWindowCapture(p.program);
  tick();
  tick();
  p.screen.under = 0x9999;  // gone between the hit test and the snapshot: no rect, no picture
  tick();
  EXPECT_TRUE(shown());
  EXPECT_EQ(p.program.state.pickRect, (std::array<std::int32_t, 4>{0, 0, 0, 0}));
  EXPECT_TRUE(picture().picture().empty());
  pick();
  p.windows.deliverPosted();
  EXPECT_TRUE(canvas1().picture().empty());
  EXPECT_EQ(canvas1().rect(), (Rect{0, 0, 0, 0}));
}

}  // namespace
}  // namespace lsg
