#pragma once

#include <string>
#include <vector>

#include "save/save_commands.h"

namespace lsg::fake {

// The save dialog and the message box in memory: the test says what the user answers.
class FakeSavePlatform : public SavePlatform {
 public:
  // What the user does in the next dialogs: a path to confirm, or empty to cancel.
  std::vector<std::string> answers;
  std::vector<SaveDialogSettings> shown;  // the settings each dialog opened with
  std::vector<std::string> errors;

  bool showSaveDialog(SaveDialogSettings& settings, WindowHandle) override {
    shown.push_back(settings);
    if (answers.empty()) return false;
    std::string answer = answers.front();
    answers.erase(answers.begin());
    if (answer.empty()) return false;
    settings.fileName = answer;
    return true;
  }
  void showError(WindowHandle, const std::string& message) override { errors.push_back(message); }
};

}  // namespace lsg::fake
