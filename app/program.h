#pragma once

#include "app/shared_state.h"
#include "capture/screen.h"
#include "picture/picture.h"
#include "ui/application.h"
#include "ui/definition.h"

namespace lsg {

class SavePlatform;

// Everything the handlers reach: the loaded windows, the screen, the dialogs, the shared
// state, and the window definitions, which live as long as the program.
struct Program {
  Program(WindowSystem& windows, Screen& screen, SavePlatform& save, Picture startupPicture);
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  Application app;
  Screen& screen;
  SavePlatform& save;
  SharedState state;
  FormDefinition mainWindow;
  FormDefinition snapshotWindow;
  FormDefinition regionWindow;
};

// Start-up, the loop and shutdown. Returns the process's exit code.
int runProgram(Program& program);

}  // namespace lsg
