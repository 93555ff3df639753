#include "platform/win32/platform_win.h"
#include "platform/win32/text.h"

namespace lsg::win {

namespace {

class Win32SavePlatform : public SavePlatform {
 public:
  bool showSaveDialog(SaveDialogSettings&, WindowHandle) override { return false; }
  void showError(WindowHandle owner, const std::string& message) override {
    MessageBoxW(reinterpret_cast<HWND>(owner), widen(message).c_str(),
                widen("保存图形文件").c_str(), MB_OK | MB_ICONERROR);
  }
};

}  // namespace

std::unique_ptr<SavePlatform> makeSavePlatform() { return std::make_unique<Win32SavePlatform>(); }

}  // namespace lsg::win
