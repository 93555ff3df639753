// Window capture: 快照窗口 blinks a red frame around the window under the pointer, and a
// press on the framed picture takes it.
#include "app/main_window.h"
#include "app/picture_view.h"
#include "app/program.h"
#include "capture/capture_commands.h"

namespace lsg {

namespace {

void tick(Program& program, Form& 快照窗口) {
  Screen& screen = program.screen;
  SharedState& state = program.state;
  const int x = screen.cursorX();
  const int y = screen.cursorY();
  state.pickedWindow = screen.windowFromPoint({x, y});
  // Left, top, right, bottom of what the capture takes: the visible bounds of a top-level
  // window where the compositor reports them, else its outer rectangle. A window that is
  // already gone has no rectangle; stale numbers from the last tick would be rewritten
  // into nonsense below.
  const Rect outer = screen.captureRect(state.pickedWindow).value_or(Rect{});
  state.pickRect = {outer.left, outer.top, outer.right(), outer.bottom()};
  快照窗口.setTopmost(true);
  state.pickRect[2] = state.pickRect[2] - state.pickRect[0];
  state.pickRect[3] = state.pickRect[3] - state.pickRect[1];

  if (快照窗口.visible()) {
    快照窗口.setVisible(false);
    return;
  }
  const auto [left, top, width, height] = state.pickRect;
  Canvas& 快照画板 = 快照窗口.canvas("快照画板");
  快照窗口.move({left - 2, top - 2, width + 4, height + 4});
  快照画板.move({2, 2, width, height});
  // The overlay is still hidden here, so it is never in its own picture.
  快照画板.setPicture(screen.takeSnapshot(state.pickedWindow));
  快照窗口.setVisible(true);
}

void pick(Program& program, Form& 快照窗口) {
  快照窗口.setVisible(false);
  restoreMainWindow(program.app);
  program.app.form("主窗口").canvas("画板1").setPicture(快照窗口.canvas("快照画板").picture());
  快照窗口.destroy();
}

void aboutToBeDestroyed(Program& program) {
  restoreMainWindow(program.app);
  fitCanvasToPicture(program.app);
}

}  // namespace

void startWindowCapture(Program& program) {
  minimizeMainWindow(program.app);
  program.app.load(program.snapshotWindow);
}

FormDefinition snapshotWindowDefinition(Program& program) {
  Program* p = &program;

  FormDefinition d;
  d.name = "快照窗口";
  d.place = {50, 50, 65, 38};
  d.centred = true;
  d.frame = Frame::None;
  d.showInTaskbar = false;
  d.topmost = true;
  d.escCloses = true;
  d.visible = false;
  d.background = ColourSetting::of(kRed);
  // Created in the always-on-top band and taken out of it until the first tick.
  d.onCreated = [](Form& form) { form.setTopmost(false); };
  d.onAboutToBeDestroyed = [p](Form&) { aboutToBeDestroyed(*p); };

  ControlDefinition canvas{
      .name = "快照画板", .kind = ControlKind::Canvas, .place = {1, 1, 37, 36}};
  canvas.background = ColourSetting::of(kWhite);
  canvas.pictureMode = 1;
  canvas.onLeftDown = [p](Form& form, const MouseEvent&) { pick(*p, form); };

  ControlDefinition clock{.name = "时钟1", .kind = ControlKind::Timer};
  clock.periodMs = 1000;
  clock.onTick = [p](Form& form) { tick(*p, form); };

  d.controls = {canvas, clock};
  return d;
}

}  // namespace lsg
