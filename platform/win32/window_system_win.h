#pragma once

#include <windows.h>

#include <memory>
#include <unordered_map>

#include "platform/win32/scoped.h"
#include "ui/application.h"
#include "ui/window_system.h"

namespace lsg::win {

// What a platform window stands for; stored in GWLP_USERDATA from WM_NCCREATE on.
struct Target {
  Form* form = nullptr;        // a top-level window
  Control* control = nullptr;  // a child control
};

class Win32WindowSystem : public WindowSystem {
 public:
  explicit Win32WindowSystem(HINSTANCE instance);
  void setApplication(Application* app) { app_ = app; }

  Size screenSize() const override;
  int dpi(WindowHandle window) const override;
  Size outerSize(WindowHandle window, Size client, int dpi) const override;
  Size clientSize(WindowHandle window) const override;
  WindowHandle createForm(Form& form, Rect outer) override;
  WindowHandle createControl(Control& control, WindowHandle parent) override;
  void arrangeZOrder(Form& form) override;
  void destroy(WindowHandle window) override;
  void postDestroy(WindowHandle window) override;
  void postQuit() override;
  void move(WindowHandle window, Rect rect) override;
  void show(WindowHandle window, ShowCommand command) override;
  bool isVisible(WindowHandle window) const override;
  void enable(WindowHandle window, bool enabled) override;
  void setTopmost(WindowHandle window, bool topmost) override;
  void bringForward(WindowHandle window) override;
  void invalidate(WindowHandle window, bool erase) override;
  void setScrollRange(WindowHandle scrollBar, int minimum, int maximum) override;
  void setScrollPosition(WindowHandle scrollBar, int position) override;
  void startTimer(WindowHandle owner, std::uintptr_t id, int periodMs) override;
  void stopTimer(WindowHandle owner, std::uintptr_t id) override;
  void runLoop() override;
  [[noreturn]] void fatal(std::string_view message) override;

 private:
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT formMessage(HWND window, Form& form, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT controlMessage(HWND window, Control& control, UINT message, WPARAM wParam, LPARAM lParam);
  bool preTranslate(MSG& message);
  Target* targetOf(HWND window) const;
  HWND create(DWORD exStyle, const wchar_t* windowClass, const std::wstring& title, DWORD style,
              Rect rect, HWND parent, HMENU menu, Target target);

  HINSTANCE instance_;
  Application* app_ = nullptr;
  HICON icon_ = nullptr;
  std::unordered_map<HWND, std::unique_ptr<Target>> targets_;
  std::unordered_map<HWND, UniqueAccelerators> accelerators_;
};

}  // namespace lsg::win
