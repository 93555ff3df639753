// The save dialog and the error box on Win32.
// platform_win.h brings <windows.h>, which <commdlg.h> needs first.
#include "platform/win32/platform_win.h"

#include <commdlg.h>

#include <algorithm>
#include <array>
#include <string_view>

#include "platform/win32/text.h"
#include "save/file_io.h"

namespace lsg::win {

namespace {

constexpr std::size_t kNameBufferSize = 260;
constexpr std::size_t kTitleBufferSize = 64;

// The rectangle the dialog is centred over: 主窗口, or the work area when 主窗口
// is minimised or hidden (centring over a title bar at the screen's edge would put
// the dialog half off the screen).
RECT centringArea(HWND owner, RECT& workArea) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY), &monitor);
  workArea = monitor.rcWork;
  RECT area = workArea;
  if (owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &area);
  return area;
}

void centreOverOwner(HWND dialog, HWND owner) {
  RECT workArea{};
  const RECT area = centringArea(owner, workArea);
  RECT box{};
  GetWindowRect(dialog, &box);
  const LONG width = box.right - box.left;
  const LONG height = box.bottom - box.top;
  LONG x = area.left + (area.right - area.left - width) / 2;
  LONG y = area.top + (area.bottom - area.top - height) / 2;
  // A dialog larger than 主窗口 stays on the screen, its title bar reachable.
  x = std::max(workArea.left, std::min(x, workArea.right - width));
  y = std::max(workArea.top, std::min(y, workArea.bottom - height));
  SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Centres the save dialog as it is first shown, through a hook on this thread for the
// time of the call. OFN_ENABLEHOOK would give a place to do it too, but a dialog with a
// hook procedure falls back to the old look on Windows Vista and later, without the
// navigation pane. Its first activation (a CBT hook's moment) is too early: under Wine
// the dialog activates as its owner is disabled, before it lays itself out and takes
// its final size. WM_SHOWWINDOW comes after that and before it appears on the screen;
// a dialog shown without it is moved once it has appeared.
class DialogCentring {
 public:
  explicit DialogCentring(HWND owner) : owner_(owner) {
    current_ = this;
    hook_ = SetWindowsHookExW(WH_CALLWNDPROC, beforeMessage, nullptr, GetCurrentThreadId());
  }
  ~DialogCentring() {
    if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
    current_ = nullptr;
  }
  DialogCentring(const DialogCentring&) = delete;
  DialogCentring& operator=(const DialogCentring&) = delete;

 private:
  static LRESULT CALLBACK beforeMessage(int code, WPARAM wParam, LPARAM lParam) {
    DialogCentring* self = current_;
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && self != nullptr && !self->done_ && isShowing(*message) &&
        isTheDialog(message->hwnd, self->owner_)) {
      self->done_ = true;
      centreOverOwner(message->hwnd, self->owner_);
    }
    return CallNextHookEx(self != nullptr ? self->hook_ : nullptr, code, wParam, lParam);
  }

  static bool isShowing(const CWPSTRUCT& message) {
    if (message.message == WM_SHOWWINDOW) return message.wParam != FALSE;
    return message.message == WM_WINDOWPOSCHANGED &&
           (reinterpret_cast<const WINDOWPOS*>(message.lParam)->flags & SWP_SHOWWINDOW);
  }

  // The dialog-class window that 主窗口 owns; the overwrite question is owned by the
  // dialog, and is left where the system puts it.
  static bool isTheDialog(HWND window, HWND owner) {
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    return GetWindow(window, GW_OWNER) == owner && std::wstring_view(className) == L"#32770";
  }

  static thread_local DialogCentring* current_;
  HWND owner_;
  HHOOK hook_ = nullptr;
  bool done_ = false;
};

thread_local DialogCentring* DialogCentring::current_ = nullptr;

// The last path, cut so that it fits the name buffer with its terminator, never
// between the two halves of a surrogate pair.
void prefill(std::array<wchar_t, kNameBufferSize>& buffer, const std::wstring& path) {
  std::size_t n = std::min(path.size(), buffer.size() - 1);
  if (n < path.size() && n > 0 && IS_HIGH_SURROGATE(path[n - 1])) --n;
  std::copy_n(path.begin(), n, buffer.begin());
  buffer[n] = L'\0';
}

const wchar_t* orNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

class Win32SavePlatform : public SavePlatform {
 public:
  bool showSaveDialog(SaveDialogSettings& settings, WindowHandle owner) override {
    const HWND ownerWindow = reinterpret_cast<HWND>(owner);
    // widen converts the whole length, so the NULs between the entries survive.
    const std::string filterList = buildFilterList(settings.filterText);
    const std::wstring filter = widen(filterList);
    const std::wstring defaultExtension = widen(settings.defaultExtension);
    const std::wstring title = widen(settings.title);
    const std::wstring folder = widen(settings.initialFolder);
    std::array<wchar_t, kNameBufferSize> name{};
    std::array<wchar_t, kTitleBufferSize> fileTitle{};
    prefill(name, widen(settings.fileName));

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = ownerWindow;
    dialog.lpstrFilter = orNull(filter);
    dialog.nFilterIndex = static_cast<DWORD>(dialogFilterIndex(settings, !filter.empty()));
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.lpstrFileTitle = fileTitle.data();
    dialog.nMaxFileTitle = static_cast<DWORD>(fileTitle.size());
    dialog.lpstrInitialDir = orNull(folder);
    dialog.lpstrTitle = orNull(title);
    dialog.lpstrDefExt = orNull(defaultExtension);
    dialog.Flags = saveDialogFlags(settings);
    bool confirmed;
    {
      DialogCentring centring(ownerWindow);
      confirmed = GetSaveFileNameW(&dialog) != FALSE;
    }
    if (!confirmed) return false;
    settings.fileName = narrow(name.data());
    return true;
  }

  void showError(WindowHandle owner, const std::string& message) override {
    MessageBoxW(reinterpret_cast<HWND>(owner), widen(message).c_str(),
                widen("保存图形文件").c_str(), MB_OK | MB_ICONERROR);
  }

  std::optional<std::string> temporaryFolder() override { return tempFolderPath(); }
};

}  // namespace

std::unique_ptr<SavePlatform> makeSavePlatform() { return std::make_unique<Win32SavePlatform>(); }

}  // namespace lsg::win
