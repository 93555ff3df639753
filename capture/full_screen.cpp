#include "app/main_window.h"
#include "app/picture_view.h"
#include "app/program.h"
#include "capture/capture_commands.h"

namespace lsg {

void fullScreenCapture(Program& program) {
  Application& app = program.app;
  minimizeMainWindow(app);
  // Without this the minimised 主窗口, or the windows beneath it not yet repainted, would be
  // in the picture.
  program.screen.settle();
  app.form("主窗口").canvas("画板1").setPicture(program.screen.takeSnapshot(0));
  restoreMainWindow(app);
  fitCanvasToPicture(app);
}

}  // namespace lsg
