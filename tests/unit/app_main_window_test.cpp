// 主窗口 as it starts, its menu, and minimising and restoring it.
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "fake/fake_program.h"

namespace lsg {
namespace {

TEST(MainWindow, StartsCentredWithItsControlsInPlace) {
  fake::FakeProgram p(Picture(std::vector<std::uint8_t>{0xFF, 0xD8, 1, 2, 3, 4}));
  Form& w = p.mainWindow();
  EXPECT_EQ(w.definition().title, "蓝杉果高级屏幕截图软件");
  EXPECT_EQ(w.rect(), (Rect{(1024 - 635) / 2, (768 - 521) / 2, 635, 521}));
  EXPECT_TRUE(p.windowOf(w).visible);
  EXPECT_FALSE(p.windowOf(w).topmost);

  struct Expected {
    const char* name;
    Rect rect;
    bool enabled;
  };
  const Expected controls[] = {
      {"横向滚动条", {7, 449, 600, 18}, false}, {"纵向滚动条", {606, 7, 17, 443}, false},
      {"内背景", {8, 7, 599, 442}, true},       {"画板1", {1, 1, 597, 440}, true},
      {"背景", {6, 6, 618, 463}, true},
  };
  for (const Expected& e : controls) {
    SCOPED_TRACE(e.name);
    const Control& c = w.control(e.name);
    EXPECT_EQ(p.windowOf(c).rect, e.rect);
    EXPECT_EQ(p.windowOf(c).enabled, e.enabled);
    EXPECT_TRUE(p.windows.isVisible(c.handle()));
  }
  EXPECT_EQ(w.control("画板1").definition().parent, "内背景");
  EXPECT_EQ(w.canvas("画板1").pictureMode(), 2);
  EXPECT_EQ(w.canvas("画板1").picture().size(), 6u);
  const ScrollBar& h = w.scrollBar("横向滚动条");
  const ScrollBar& v = w.scrollBar("纵向滚动条");
  EXPECT_EQ(p.windowOf(h).scrollLow, 1);
  EXPECT_EQ(p.windowOf(h).scrollHigh, 100);
  EXPECT_EQ(h.position(), 1);
  EXPECT_EQ(v.position(), 0);
  EXPECT_EQ(p.windowOf(v).scrollPosition, 1) << "the thumb shows at the minimum";
  EXPECT_EQ(w.saveDialog("通用对话框").settings().title, "保存图形文件");
}

TEST(MainWindow, MenuCaptionsAndShortcutsAreExact) {
  fake::FakeProgram p;
  const std::vector<Menu>& menus = p.mainWindow().definition().menus;
  ASSERT_EQ(menus.size(), 2u);
  EXPECT_EQ(menus[0].caption, " &J. 截  图         ");
  EXPECT_EQ(menus[1].caption, " &S. 保  存       ");
  struct Item {
    std::size_t menu, item;
    const char* caption;
    char shortcut;
  };
  const Item items[] = {
      {0, 0, "&W. 窗口及部件截图         ", 'W'},
      {0, 1, "&A. 全屏幕截图", 'A'},
      {0, 2, "&Z. 指定区域截图", 'Z'},
      {0, 3, "", 0},
      {0, 4, "&C. 清空图形区域", 'C'},
      {1, 0, "&B. 保存为BMP位图文件      ", 'B'},
      {1, 1, "&G. 保存为JPG图形文件      ", 'G'},
  };
  EXPECT_EQ(menus[0].items.size(), 5u);
  EXPECT_EQ(menus[1].items.size(), 2u);
  for (const Item& i : items) {
    EXPECT_EQ(menus[i.menu].items[i.item].caption, i.caption);
    EXPECT_EQ(menus[i.menu].items[i.item].shortcut, i.shortcut);
  }
}

TEST(MainWindow, ClearFromTheMenuEmptiesTheView) {
  fake::FakeProgram p;
  p.mainWindow().menuChosen(0, 4);
  EXPECT_EQ(p.mainWindow().canvas("画板1").rect(), (Rect{0, 0, 0, 0}));
}

TEST(MainWindow, MinimiseAndRestoreActOnTheVisibleWindow) {
  fake::FakeProgram p;
  p.windows.log.clear();
  minimizeMainWindow(p.program.app);
  EXPECT_TRUE(p.windowOf(p.mainWindow()).minimized);
  restoreMainWindow(p.program.app);
  restoreMainWindow(p.program.app);  // already normal: only activates, keeps the place
  EXPECT_FALSE(p.windowOf(p.mainWindow()).minimized);
  EXPECT_EQ(p.windows.log,
            (std::vector<std::string>{"minimize 主窗口", "restore 主窗口", "restore 主窗口"}));
  EXPECT_EQ(p.windowOf(p.mainWindow()).rect, (Rect{194, 123, 635, 521}));
}

}  // namespace
}  // namespace lsg
