#pragma once

#include "app/program.h"
#include "fake/fake_save.h"
#include "fake/fake_screen.h"
#include "fake/fake_window_system.h"

namespace lsg::fake {

// The whole program on the in-memory platform, started and with 主窗口 loaded.
struct FakeProgram {
  explicit FakeProgram(Picture startup = {}) : program(windows, screen, save, std::move(startup)) {
    windows.app = &program.app;
    initSharedState(program.state);
    program.app.load(program.mainWindow);
    program.app.enterLoop();
  }

  Form& mainWindow() { return program.app.form("主窗口"); }
  FakeWindow& windowOf(const Widget& w) { return windows.window(w.handle()); }

  FakeWindowSystem windows;
  FakeScreen screen;
  FakeSavePlatform save;
  Program program;
};

}  // namespace lsg::fake
