#include "app/main_window.h"

#include "app/picture_view.h"
#include "app/program.h"
#include "capture/capture_commands.h"
#include "save/save_commands.h"

namespace lsg {

FormDefinition mainWindowDefinition(Program& program, Picture startupPicture) {
  Application& app = program.app;
  Program* p = &program;
  const ColourSetting buttonFace = ColourSetting::systemButtonFace();
  const ColourSetting white = ColourSetting::of(kWhite);

  FormDefinition d;
  d.name = "主窗口";
  d.title = kMainWindowTitle;
  d.place = {0, 0, 635, 521};
  // What 635 x 521 holds inside a fixed frame (3 pixels a side) with a caption and a menu
  // bar of 19 pixels each at 96 DPI: the layout's own client area, scaled on other displays.
  d.layoutClient = {629, 477};
  d.centred = true;
  d.frame = Frame::FixedSingle;
  d.minimizeButton = true;
  d.showInTaskbar = true;
  d.topmost = false;
  d.escCloses = true;
  d.visible = true;
  d.appIcon = true;
  d.background = buttonFace;
  d.onDpiChanged = [&app](Form&) { viewportResized(app); };

  d.menus = {
      {" &J. 截  图         ",
       {{"&W. 窗口及部件截图         ", 'W', [p](Form&) { startWindowCapture(*p); }},
        {"&A. 全屏幕截图", 'A', [p](Form&) { fullScreenCapture(*p); }},
        {"&Z. 指定区域截图", 'Z', [p](Form&) { startRegionCapture(*p); }},
        {},
        {"&C. 清空图形区域", 'C', [&app](Form&) { clearView(app); }}}},
      {" &S. 保  存       ",
       {{"&B. 保存为BMP位图文件      ", 'B', [p](Form&) { saveAsBmp(*p); }},
        {"&G. 保存为JPG图形文件      ", 'G', [p](Form&) { saveAsJpg(*p); }}}},
  };

  ControlDefinition horizontal{
      .name = "横向滚动条", .kind = ControlKind::ScrollBar, .place = {7, 449, 600, 18}};
  horizontal.enabled = false;
  horizontal.orientation = Orientation::Horizontal;
  horizontal.minimum = 1;
  horizontal.maximum = 100;
  horizontal.position = 1;
  horizontal.onPositionChanged = [&app](Form&) { scrollViewHorizontally(app); };

  ControlDefinition vertical{
      .name = "纵向滚动条", .kind = ControlKind::ScrollBar, .place = {606, 7, 17, 443}};
  vertical.enabled = false;
  vertical.orientation = Orientation::Vertical;
  vertical.minimum = 1;
  vertical.maximum = 100;
  vertical.position = 0;  // the thumb shows at the minimum
  vertical.onPositionChanged = [&app](Form&) { scrollViewVertically(app); };

  ControlDefinition viewport{
      .name = "内背景", .kind = ControlKind::ShapeBox, .place = {8, 7, 599, 442}};
  viewport.background = buttonFace;
  viewport.fill = white;
  viewport.outline = false;

  ControlDefinition canvas{
      .name = "画板1", .kind = ControlKind::Canvas, .parent = "内背景", .place = {1, 1, 597, 440}};
  canvas.background = white;
  canvas.pictureMode = 2;
  canvas.picture = std::move(startupPicture);

  ControlDefinition frame{.name = "背景", .kind = ControlKind::Label, .place = {6, 6, 618, 463}};
  frame.staticEdge = true;
  frame.background = buttonFace;

  ControlDefinition dialog{.name = "通用对话框", .kind = ControlKind::SaveDialog};
  dialog.visible = false;

  d.controls = {horizontal, vertical, viewport, canvas, frame, dialog};
  return d;
}

void minimizeMainWindow(Application& app) {
  Form& 主窗口 = app.form("主窗口");
  if (主窗口.visible()) app.windows().show(主窗口.handle(), ShowCommand::Minimize);
}

void restoreMainWindow(Application& app) {
  Form& 主窗口 = app.form("主窗口");
  if (主窗口.visible()) app.windows().show(主窗口.handle(), ShowCommand::ShowNormal);
}

}  // namespace lsg
