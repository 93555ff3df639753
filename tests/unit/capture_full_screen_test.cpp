// Full-screen capture and the ways an overlay mode ends without a pick.
#include <gtest/gtest.h>

#include <algorithm>

#include "capture/capture_commands.h"
#include "fake/fake_program.h"
#include "fake/test_pictures.h"

namespace lsg {
namespace {

TEST(FullScreenCapture, TakesTheSettledScreenWhileMinimisedThenFitsTheView) {
  struct Case {
    Picture screen;
    Rect canvas;
    bool scrolls;
  };
  const Case cases[] = {
      {fake::blankBmp(1024, 768), {0, 0, 1024, 768}, true},
      {Picture(), {0, 0, 0, 0}, false},  // a failed snapshot: no picture, 主窗口 back anyway
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.scrolls ? "picture" : "no picture");
    fake::FakeProgram p(fake::blankBmp(300, 200));
    p.screen.pictures[0] = c.screen;
    bool minimisedAndSettled = false;
    p.screen.onSnapshot = [&](WindowHandle) {
      minimisedAndSettled = p.windowOf(p.mainWindow()).minimized && p.screen.settles == 1;
    };
    p.windows.log.clear();
    p.mainWindow().menuChosen(0, 1);

    EXPECT_TRUE(minimisedAndSettled);
    EXPECT_EQ(p.screen.snapshots, (std::vector<WindowHandle>{0}));
    EXPECT_EQ(p.windows.log, (std::vector<std::string>{"minimize 主窗口", "restore 主窗口"}));
    Form& main = p.mainWindow();
    EXPECT_EQ(main.canvas("画板1").picture(), c.screen);
    EXPECT_EQ(main.canvas("画板1").rect(), c.canvas);
    EXPECT_EQ(main.scrollBar("横向滚动条").enabled(), c.scrolls);
    EXPECT_EQ(main.scrollBar("纵向滚动条").enabled(), c.scrolls);
    if (c.scrolls) {
      EXPECT_EQ(main.scrollBar("横向滚动条").maximum(), 1024 - 599);
      EXPECT_EQ(main.scrollBar("纵向滚动条").maximum(), 768 - 442);
    }
  }
}

struct Mode {
  const char* name;
  void (*start)(Program&);
  const char* overlay;
  Rect canvasAfter;  // 画板1 after a cancel: fitted again by window capture only
};
const Mode kModes[] = {
    {"window capture", startWindowCapture, "快照窗口", {0, 0, 300, 200}},
    {"region capture", startRegionCapture, "区域窗口", {1, 1, 597, 440}},
};

TEST(CaptureModes, EscOnTheOverlayCancelsWithThePictureUnchanged) {
  for (const Mode& m : kModes) {
    SCOPED_TRACE(m.name);
    const Picture startup = fake::blankBmp(300, 200);
    fake::FakeProgram p(startup);
    p.screen.pictures[0] = fake::blankBmp(1024, 768);
    m.start(p.program);
    Form& overlay = p.program.app.form(m.overlay);
    if (m.start == startWindowCapture) p.windows.tick(overlay);  // the frame shown
    EXPECT_TRUE(p.windowOf(p.mainWindow()).minimized);

    EXPECT_TRUE(p.windows.pressEscape(overlay, 0));
    EXPECT_EQ(p.program.app.find(m.overlay), nullptr);
    EXPECT_FALSE(p.windowOf(p.mainWindow()).minimized);
    EXPECT_EQ(p.mainWindow().canvas("画板1").picture(), startup);
    EXPECT_EQ(p.mainWindow().canvas("画板1").rect(), m.canvasAfter);
  }
}

TEST(CaptureModes, ClosingMainWindowTakesTheOverlayAlongAndEndsTheLoop) {
  for (const Mode& m : kModes) {
    SCOPED_TRACE(m.name);
    fake::FakeProgram p;
    m.start(p.program);
    p.windows.log.clear();
    EXPECT_NO_THROW(p.windows.close(p.mainWindow()));
    EXPECT_FALSE(p.program.app.anyLoaded());
    EXPECT_TRUE(p.windows.quitPosted());
    const std::vector<std::string>& log = p.windows.log;
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log.front(), std::string("destroy ") + m.overlay);
    EXPECT_NE(std::find(log.begin(), log.end(), "destroy 主窗口"), log.end());
  }
}

}  // namespace
}  // namespace lsg
