// Region capture: the screen frozen into 区域窗口, a dragged red outline, and a press inside
// it that takes the frozen pixels within.
#include "app/main_window.h"
#include "app/picture_view.h"
#include "app/program.h"
#include "capture/bmp.h"
#include "capture/capture_commands.h"

namespace lsg {

namespace {

// 区域窗口 lies at the screen origin without a border, so its client coordinates are
// screen coordinates; 外框1 is placed relative to 外框 and 区域画板 relative to 外框1.
void created(Program& program, Form& 区域窗口) {
  static const Picture kNoPicture;
  Screen& screen = program.screen;
  const std::optional<Picture>& frozenScreen = program.state.frozenScreen;
  const Picture& frozen = frozenScreen ? *frozenScreen : kNoPicture;
  Canvas& 区域画板 = 区域窗口.canvas("区域画板");
  区域窗口.setPicture(frozen);
  // The same bytes as the window's picture, without a transient third copy of the screen.
  区域画板.setPicture(frozen);
  区域窗口.move({0, 0, screen.screenWidth(), screen.screenHeight()});
  区域画板.move({0, 0, screen.screenWidth(), screen.screenHeight()});
}

void pressed(Program& program, Form& 区域窗口) {
  SharedState& state = program.state;
  state.dragging = 1;
  state.dragAnchor[0] = program.screen.cursorX();
  state.dragAnchor[1] = program.screen.cursorY();
  const auto [ax, ay] = state.dragAnchor;
  ShapeBox& 外框 = 区域窗口.shapeBox("外框");
  ShapeBox& 外框1 = 区域窗口.shapeBox("外框1");
  外框.move({ax, ay, 0, 0});
  外框.setVisible(true);
  外框1.setLeft(1);
  外框1.setTop(1);
  // Its top-left at the screen origin, so its picture lines up with the window's.
  区域窗口.canvas("区域画板").move({.left = -ax - 1, .top = -ay - 1});
}

void moved(Program& program, Form& 区域窗口, int x, int y) {
  const SharedState& state = program.state;
  if (state.dragging != 1) return;
  const auto [ax, ay] = state.dragAnchor;
  ShapeBox& 外框 = 区域窗口.shapeBox("外框");
  外框.setVisible(true);
  外框.move({ax, ay, x - ax, y - ay});
  区域窗口.shapeBox("外框1").move({1, 1, x - ax - 2, y - ay - 2});
}

// The pointer is inside the rectangle: the corner goes to two pixels above and left of it,
// which puts the pointer outside again.
void movedOverPicture(Program& program, Form& 区域窗口) {
  if (program.state.dragging != 1) return;
  const int px = program.screen.cursorX();
  const int py = program.screen.cursorY();
  moved(program, 区域窗口, px - 2, py - 2);
}

void released(Program& program) { program.state.dragging = 0; }

// The frozen pixels under 外框1 rather than a read-back of the screen: the same pixels, but
// never a window or tooltip that came up over the overlay since the command.
void pick(Program& program, Form& 区域窗口) {
  const std::optional<Rect> inside = program.screen.windowRect(区域窗口.shapeBox("外框1").handle());
  const std::optional<Picture>& frozen = program.state.frozenScreen;
  program.app.form("主窗口").canvas("画板1").setPicture(
      inside && frozen ? cropSnapshot(*frozen, *inside) : Picture());
  fitCanvasToPicture(program.app);
  区域窗口.destroy();
}

}  // namespace

void startRegionCapture(Program& program) {
  minimizeMainWindow(program.app);
  program.screen.settle();
  Picture snapshot = program.screen.takeSnapshot(0);
  // The old frozen screen goes only once the new one exists.
  program.state.frozenScreen = std::move(snapshot);
  program.app.load(program.regionWindow);
}

FormDefinition regionWindowDefinition(Program& program) {
  Program* p = &program;

  FormDefinition d;
  d.name = "区域窗口";
  d.place = {50, 50, 48, 33};
  d.centred = true;
  d.frame = Frame::None;
  d.showInTaskbar = false;
  d.topmost = true;
  d.escCloses = true;
  d.visible = true;
  d.background = ColourSetting::of(kWhite);
  d.pictureMode = 1;
  d.onCreated = [p](Form& form) { created(*p, form); };
  d.onLeftDown = [p](Form& form, const MouseEvent&) { pressed(*p, form); };
  d.onMouseMove = [p](Form& form, const MouseEvent& e) { moved(*p, form, e.x, e.y); };
  d.onLeftUp = [p](Form&, const MouseEvent&) { released(*p); };
  d.onAboutToBeDestroyed = [p](Form&) { restoreMainWindow(p->app); };

  ControlDefinition outline{.name = "外框", .kind = ControlKind::ShapeBox, .place = {0, 0, 34, 33}};
  outline.visible = false;
  outline.background = ColourSetting::of(kRed);
  outline.fill = ColourSetting::of(kRed);
  outline.outline = false;

  ControlDefinition inner{
      .name = "外框1", .kind = ControlKind::ShapeBox, .parent = "外框", .place = {1, 1, 32, 31}};
  inner.background = ColourSetting::systemButtonFace();
  inner.fill = ColourSetting::of(kWhite);
  inner.outline = false;

  ControlDefinition canvas{
      .name = "区域画板", .kind = ControlKind::Canvas, .parent = "外框1", .place = {0, 0, 31, 31}};
  canvas.pictureMode = 1;
  canvas.onLeftDown = [p](Form& form, const MouseEvent&) { pick(*p, form); };
  canvas.onMouseMove = [p](Form& form, const MouseEvent&) { movedOverPicture(*p, form); };

  d.controls = {outline, inner, canvas};
  return d;
}

}  // namespace lsg
