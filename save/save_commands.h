#pragma once

#include <string>

#include "save/dialog_settings.h"
#include "ui/window_system.h"

namespace lsg {

struct Program;

// The dialog and the message box, from the platform.
class SavePlatform {
 public:
  virtual ~SavePlatform() = default;
  // Runs the modal save dialog owned by `owner`; on confirmation stores the full path in
  // settings.fileName and returns true, otherwise leaves the settings alone.
  virtual bool showSaveDialog(SaveDialogSettings& settings, WindowHandle owner) = 0;
  virtual void showError(WindowHandle owner, const std::string& message) = 0;
};

void saveAsBmp(Program& program);
void saveAsJpg(Program& program);

}  // namespace lsg
