#pragma once

#include <optional>

#include "app/program.h"
#include "fake/fake_save.h"
#include "fake/fake_screen.h"
#include "fake/fake_window_system.h"

namespace lsg::fake {

// The whole program on the in-memory platform, started and with 主窗口 loaded.
struct FakeProgram {
  // `dpi`: of the monitor 主窗口 appears on.
  explicit FakeProgram(Picture startup = {}, int dpi = 96)
      : program(windows, screen, save, std::move(startup)) {
    windows.app = &program.app;
    windows.newWindowDpi = dpi;
    screen.rectOf = [this](WindowHandle h) { return screenRect(h); };
    initSharedState(program.state);
    program.app.load(program.mainWindow);
    program.app.enterLoop();
  }

  Form& mainWindow() { return program.app.form("主窗口"); }
  FakeWindow& windowOf(const Widget& w) { return windows.window(w.handle()); }

  // A window's outer rectangle on the screen, as GetWindowRect gives it: a control's place
  // added up through its parents. Forms here have their client area at their outer origin,
  // as the borderless overlays do.
  std::optional<Rect> screenRect(WindowHandle handle) const {
    if (!windows.exists(handle)) return std::nullopt;
    Rect r = windows.window(handle).rect;
    for (WindowHandle p = windows.window(handle).parent; p && windows.exists(p);
         p = windows.window(p).parent) {
      r.left += windows.window(p).rect.left;
      r.top += windows.window(p).rect.top;
    }
    return r;
  }

  FakeWindowSystem windows;
  FakeScreen screen;
  FakeSavePlatform save;
  Program program;
};

}  // namespace lsg::fake
