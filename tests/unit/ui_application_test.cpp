// Loading, queued destruction, Esc and the end of the loop.
#include <gtest/gtest.h>

#include "fake/fake_program.h"
#include "fake/fake_window_system.h"
#include "ui/application.h"

namespace lsg {
namespace {

struct Layer : ::testing::Test {
  Layer() { windows.app = &app; }

  FormDefinition overlay(std::vector<std::string>& events) {
    FormDefinition d{.name = "浮窗",
                     .place = {50, 50, 40, 30},
                     .centred = true,
                     .frame = Frame::None,
                     .topmost = true,
                     .visible = false};
    d.controls = {
        {.name = "上", .kind = ControlKind::Canvas, .place = {1, 1, 10, 10}},
        {.name = "子", .kind = ControlKind::Canvas, .parent = "下", .place = {0, 0, 5, 5}},
        {.name = "下", .kind = ControlKind::ShapeBox, .place = {0, 0, 20, 20}, .visible = false},
        {.name = "钟",
         .kind = ControlKind::Timer,
         .periodMs = 1000,
         .onTick = [&events](Form&) { events.push_back("tick"); }},
    };
    d.onCreated = [&events, this](Form& f) {
      events.push_back("created, visible " + std::to_string(f.visible()));
      events.push_back("log " + windows.log.back());
    };
    d.onAboutToBeDestroyed = [&events](Form&) { events.push_back("about to be destroyed"); };
    return d;
  }

  fake::FakeWindowSystem windows;
  Application app{windows};
};

TEST_F(Layer, LoadsHiddenCreatesParentsFirstRaisesCreatedThenShows) {
  std::vector<std::string> events;
  FormDefinition d = overlay(events);
  d.visible = true;
  Form* f = app.load(d);
  ASSERT_NE(f, nullptr);
  // Bottom sibling first, a child after its parent, then the z-order is put right.
  const std::vector<std::string> expected = {"create 浮窗", "create 下", "create 子", "create 上",
                                             "zorder 浮窗", "show 上",   "show 子",   "show 浮窗"};
  EXPECT_EQ(windows.log, expected);
  EXPECT_EQ(events, (std::vector<std::string>{"created, visible 0", "log show 子"}));
  EXPECT_EQ(f->rect(), (Rect{(1024 - 40) / 2, (768 - 30) / 2, 40, 30}));
  EXPECT_TRUE(windows.window(f->handle()).topmost);
  EXPECT_EQ(windows.window(f->handle()).periodMs, 1000);
}

TEST_F(Layer, LoadingALoadedWindowOnlyBringsItForward) {
  std::vector<std::string> events;
  FormDefinition d = overlay(events);
  Form* first = app.load(d);
  windows.log.clear();
  events.clear();
  EXPECT_EQ(app.load(d), first);
  EXPECT_EQ(windows.log, (std::vector<std::string>{"bring forward 浮窗"}));
  EXPECT_TRUE(events.empty());
}

TEST_F(Layer, DestructionIsQueuedUntilTheHandlerReturns) {
  std::vector<std::string> events;
  FormDefinition d = overlay(events);
  Form* f = app.load(d);
  d.controls[0].onLeftDown = [&events](Form& form, const MouseEvent&) {
    form.destroy();
    events.push_back("handler still running");
  };
  events.clear();
  f->control("上").leftDown({});
  EXPECT_EQ(events, (std::vector<std::string>{"handler still running"}));
  EXPECT_NE(app.find("浮窗"), nullptr);
  windows.deliverPosted();
  EXPECT_EQ(events, (std::vector<std::string>{"handler still running", "about to be destroyed"}));
  EXPECT_EQ(app.find("浮窗"), nullptr);
}

TEST_F(Layer, TimersTickUntilTheirWindowIsGone) {
  std::vector<std::string> events;
  FormDefinition d = overlay(events);
  Form* f = app.load(d);
  events.clear();
  windows.tick(*f);
  EXPECT_EQ(events, (std::vector<std::string>{"tick"}));
  const WindowHandle h = f->handle();
  f->destroy();
  windows.deliverPosted();
  EXPECT_FALSE(windows.exists(h));
}

TEST_F(Layer, PlainEscClosesModifiedEscDoesNot) {
  std::vector<std::string> events;
  FormDefinition d = overlay(events);
  for (int keys : {int{kCtrlKey}, int{kShiftKey}, int{kAltKey}, kCtrlKey | kShiftKey}) {
    EXPECT_FALSE(Application::escCloses(d, keys)) << keys;
  }
  EXPECT_TRUE(Application::escCloses(d, 0));
  d.escCloses = false;
  EXPECT_FALSE(Application::escCloses(d, 0));
}

TEST_F(Layer, TheLastWindowGoneEndsTheLoopOnlyWhenItRuns) {
  std::vector<std::string> events;
  FormDefinition a = overlay(events);
  FormDefinition b = overlay(events);
  b.name = "另一个";
  Form* fa = app.load(a);
  app.load(b);
  ASSERT_TRUE(app.enterLoop());
  app.form("另一个").destroy();
  windows.deliverPosted();
  EXPECT_FALSE(windows.quitPosted());
  windows.close(*fa);
  EXPECT_TRUE(windows.quitPosted());
}

TEST_F(Layer, NoLoopWithoutAWindow) { EXPECT_FALSE(app.enterLoop()); }

TEST_F(Layer, ClosingTheStartWindowClosesTheOthersFirst) {
  std::vector<std::string> events;
  FormDefinition start = overlay(events);
  start.name = "起始";
  FormDefinition other = overlay(events);
  other.onAboutToBeDestroyed = [&events](Form& f) {
    // An overlay still reaches the start window while it goes.
    events.push_back("other goes, start loaded " +
                     std::to_string(f.application().find("起始") != nullptr));
  };
  Form* s = app.load(start);
  app.load(other);
  app.enterLoop();
  events.clear();
  windows.close(*s);
  EXPECT_EQ(events,
            (std::vector<std::string>{"other goes, start loaded 1", "about to be destroyed"}));
  EXPECT_FALSE(app.anyLoaded());
  EXPECT_TRUE(windows.quitPosted());
}

TEST_F(Layer, AddressingWhatIsNotLoadedIsFatal) {
  EXPECT_THROW(app.form("主窗口"), fake::FatalError);
  std::vector<std::string> events;
  FormDefinition d = overlay(events);
  Form* f = app.load(d);
  EXPECT_THROW(f->canvas("没有"), fake::FatalError);
  EXPECT_THROW(f->canvas("下"), fake::FatalError) << "a shape box is not a canvas";
}

TEST(Program, StartsRunsAndReleasesTheSharedStateOnce) {
  fake::FakeWindowSystem windows;
  fake::FakeScreen screen;
  fake::FakeSavePlatform save;
  Program program(windows, screen, save, {});
  windows.app = &program.app;
  program.state.frozenScreen = Picture(std::vector<std::uint8_t>{1});
  // The fake loop ends when the queue runs dry; Esc queued before it closes the window.
  bool closed = false;
  program.mainWindow.onCreated = [&](Form& f) {
    windows.postDestroy(f.handle());
    closed = true;
  };
  EXPECT_EQ(runProgram(program), 0);
  EXPECT_TRUE(closed);
  EXPECT_TRUE(windows.quitPosted());
  EXPECT_EQ(program.state.releases, 1);
  EXPECT_FALSE(program.state.frozenScreen.has_value());
}

TEST(Program, FailingToLoadTheStartWindowIsFatalAndSkipsTheRelease) {
  fake::FakeWindowSystem windows;
  fake::FakeScreen screen;
  fake::FakeSavePlatform save;
  Program program(windows, screen, save, {});
  windows.app = &program.app;
  windows.refuseForms = true;
  EXPECT_THROW(runProgram(program), fake::FatalError);
  EXPECT_EQ(program.state.releases, 0);
}

TEST(Program, SharedStateStartsEmpty) {
  fake::FakeProgram p;
  const SharedState& s = p.program.state;
  EXPECT_EQ(s.pickedWindow, 0u);
  EXPECT_EQ(s.pickRect, (std::array<std::int32_t, 4>{0, 0, 0, 0}));
  EXPECT_FALSE(s.frozenScreen.has_value());
  EXPECT_EQ(s.dragging, 0);
  EXPECT_EQ(s.dragAnchor, (std::array<std::int32_t, 2>{0, 0}));
}

}  // namespace
}  // namespace lsg
