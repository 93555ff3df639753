#include "app/program.h"

#include "app/main_window.h"
#include "capture/capture_commands.h"

namespace lsg {

Program::Program(WindowSystem& windows, Screen& screen, SavePlatform& save, Picture startupPicture)
    : app(windows), screen(screen), save(save) {
  mainWindow = mainWindowDefinition(*this, std::move(startupPicture));
  snapshotWindow = snapshotWindowDefinition(*this);
  regionWindow = regionWindowDefinition(*this);
}

int runProgram(Program& program) {
  initSharedState(program.state);
  if (!program.app.load(program.mainWindow)) {
    program.app.fatal("加载启动窗口失败");
  }
  if (program.app.enterLoop()) program.app.windows().runLoop();
  releaseSharedState(program.state);
  return 0;
}

}  // namespace lsg
