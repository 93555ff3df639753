#pragma once

#include <optional>
#include <string>

#include "ui/save_dialog_settings.h"
#include "ui/window_system.h"

namespace lsg {

struct Program;

// The dialog, the message box and the temporary folder, from the platform.
class SavePlatform {
 public:
  virtual ~SavePlatform() = default;
  // Runs the modal save dialog owned by `owner`; on confirmation stores the full path in
  // settings.fileName and returns true, otherwise leaves the settings alone.
  virtual bool showSaveDialog(SaveDialogSettings& settings, WindowHandle owner) = 0;
  virtual void showError(WindowHandle owner, const std::string& message) = 0;
  // The folder that holds "ImageA.tmp", ending in its separator: the system's temporary
  // folder (tempFolderPath), or nullopt when there is none.
  virtual std::optional<std::string> temporaryFolder() = 0;
};

// "ImageA.tmp" in the platform's temporary folder, or the bare name (resolved against
// the current folder) when there is none.
std::string temporaryImagePath(SavePlatform& platform);

// Text of the error box for a save of `path` that failed for `reason`.
std::string cannotSaveMessage(const std::string& path, const std::string& reason);

// Why convertToJpeg did not write its target, for the error box.
std::string conversionFailure(int result);

void saveAsBmp(Program& program);
void saveAsJpg(Program& program);

}  // namespace lsg
