#pragma once

#include <optional>
#include <string>
#include <vector>

#include "save/file_io.h"
#include "save/save_commands.h"

namespace lsg::fake {

// The save dialog and the message box in memory: the test says what the user answers.
// Files are real; the temporary folder is the system's unless the test points it
// elsewhere.
class FakeSavePlatform : public SavePlatform {
 public:
  // What the user does in the next dialogs: a path to confirm, or empty to cancel.
  std::vector<std::string> answers;
  std::vector<SaveDialogSettings> shown;  // the settings each dialog opened with
  std::vector<WindowHandle> owners;       // the owner of each dialog and error box
  std::vector<std::string> errors;
  std::optional<std::string> temporary = tempFolderPath();

  bool showSaveDialog(SaveDialogSettings& settings, WindowHandle owner) override {
    shown.push_back(settings);
    owners.push_back(owner);
    if (answers.empty()) return false;
    std::string answer = answers.front();
    answers.erase(answers.begin());
    if (answer.empty()) return false;
    settings.fileName = answer;
    return true;
  }
  void showError(WindowHandle owner, const std::string& message) override {
    owners.push_back(owner);
    errors.push_back(message);
  }
  std::optional<std::string> temporaryFolder() override { return temporary; }
};

}  // namespace lsg::fake
