#include "platform/win32/window_system_win.h"

#include <iterator>
#include <string>

#include "platform/win32/later_windows.h"
#include "platform/win32/menus_win.h"
#include "platform/win32/messages_win.h"
#include "platform/win32/text.h"
#include "resources/resource_ids.h"
#include "ui/fatal_message.h"

namespace lsg::win {

namespace {

constexpr wchar_t kFormClass[] = L"LsgForm";
constexpr wchar_t kCanvasClass[] = L"LsgCanvas";
constexpr wchar_t kShapeBoxClass[] = L"LsgShapeBox";
constexpr wchar_t kLabelClass[] = L"LsgLabel";

void setTransitions(HWND window, bool on) { setTransitionsDisabled(window, !on); }

void registerClass(HINSTANCE instance, const wchar_t* name, WNDPROC proc, HICON icon) {
  WNDCLASSEXW c{};
  c.cbSize = sizeof(c);
  c.lpfnWndProc = proc;
  c.hInstance = instance;
  c.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  c.hIcon = icon;
  c.hIconSm = icon;
  c.lpszClassName = name;
  // No class brush: every window paints all of its client area in WM_PAINT.
  RegisterClassExW(&c);
}

}  // namespace

Win32WindowSystem::Win32WindowSystem(HINSTANCE instance) : instance_(instance) {
  // The 128 x 128 icon at its own size, for both the big and the small window icon.
  icon_ = static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 0, 0, LR_SHARED));
  for (const wchar_t* name : {kFormClass, kCanvasClass, kShapeBoxClass, kLabelClass}) {
    registerClass(instance, name, windowProc, name == kFormClass ? icon_ : nullptr);
  }
}

Size Win32WindowSystem::screenSize() const {
  return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

int Win32WindowSystem::dpi(WindowHandle window) const {
  if (const UINT own = dpiForWindow(reinterpret_cast<HWND>(window))) return static_cast<int>(own);
  // Before Windows 10 every window of a DPI-aware program has the system's DPI.
  const WindowDc screen(nullptr);
  const int system = screen ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
  return system > 0 ? system : 96;
}

Size Win32WindowSystem::outerSize(WindowHandle window, Size client, int dpi) const {
  const HWND w = reinterpret_cast<HWND>(window);
  RECT r{0, 0, client.width, client.height};
  const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(w, GWL_STYLE));
  const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(w, GWL_EXSTYLE));
  if (!adjustWindowRectForDpi(r, style, GetMenu(w) != nullptr, exStyle, static_cast<UINT>(dpi))) {
    return client;
  }
  return {r.right - r.left, r.bottom - r.top};
}

Size Win32WindowSystem::clientSize(WindowHandle window) const {
  const SIZE size = clientSizeOf(reinterpret_cast<HWND>(window));
  return {size.cx, size.cy};
}

HWND Win32WindowSystem::create(DWORD exStyle, const wchar_t* windowClass, const std::wstring& title,
                               DWORD style, Rect rect, HWND parent, HMENU menu, Target target) {
  auto owned = std::make_unique<Target>(target);
  Target* raw = owned.get();
  HWND window = CreateWindowExW(exStyle, windowClass, title.c_str(), style, rect.left, rect.top,
                                rect.width, rect.height, parent, menu, instance_, raw);
  if (!window) return nullptr;
  // System classes such as the scroll bar never see our WM_NCCREATE.
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(raw));
  targets_[window] = std::move(owned);
  return window;
}

WindowHandle Win32WindowSystem::createForm(Form& form, Rect outer) {
  const FormDefinition& d = form.definition();
  DWORD style = WS_CLIPCHILDREN;
  if (d.frame == Frame::FixedSingle) {
    style |= WS_CAPTION | WS_SYSMENU;
    if (d.minimizeButton) style |= WS_MINIMIZEBOX;
  } else {
    style |= WS_POPUP;
  }
  DWORD exStyle = 0;
  if (d.topmost) exStyle |= WS_EX_TOPMOST;
  if (!d.showInTaskbar) exStyle |= WS_EX_TOOLWINDOW;
  UniqueMenu menu = buildMenu(d);
  HWND window = create(exStyle, kFormClass, widen(d.title), style, outer, nullptr, menu.get(),
                       {.form = &form});
  if (!window) return 0;
  menu.release();  // the window owns its menu bar now
  if (UniqueAccelerators table = buildAccelerators(d)) accelerators_[window] = std::move(table);
  if (d.appIcon && icon_) {
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
  }
  return reinterpret_cast<WindowHandle>(window);
}

WindowHandle Win32WindowSystem::createControl(Control& control, WindowHandle parent) {
  const ControlDefinition& d = control.definition();
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  if (!d.enabled) style |= WS_DISABLED;
  DWORD exStyle = 0;
  const wchar_t* windowClass = kCanvasClass;
  switch (d.kind) {
    case ControlKind::Canvas:
      windowClass = kCanvasClass;
      break;
    case ControlKind::ShapeBox:
      windowClass = kShapeBoxClass;
      break;
    case ControlKind::Label:
      windowClass = kLabelClass;
      if (d.staticEdge) exStyle |= WS_EX_STATICEDGE;
      break;
    case ControlKind::ScrollBar:
      windowClass = L"SCROLLBAR";
      style |= d.orientation == Orientation::Horizontal ? SBS_HORZ : SBS_VERT;
      break;
    case ControlKind::Timer:
    case ControlKind::SaveDialog:
      return 0;
  }
  // Its place for the form's DPI, which is the definition's at 96 DPI.
  HWND window = create(exStyle, windowClass, widen(d.text), style, control.rect(),
                       reinterpret_cast<HWND>(parent), nullptr, {.control = &control});
  return reinterpret_cast<WindowHandle>(window);
}

void Win32WindowSystem::arrangeZOrder(Form& form) {
  // Each control in turn goes to the bottom of its siblings, so the first ends on top.
  for (const auto& c : form.controls()) {
    if (!c->handle()) continue;
    SetWindowPos(reinterpret_cast<HWND>(c->handle()), HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void Win32WindowSystem::destroy(WindowHandle window) {
  DestroyWindow(reinterpret_cast<HWND>(window));
}

void Win32WindowSystem::postDestroy(WindowHandle window) {
  PostMessageW(reinterpret_cast<HWND>(window), kDestroyMessage, 0, 0);
}

void Win32WindowSystem::postQuit() { PostQuitMessage(0); }

void Win32WindowSystem::move(WindowHandle window, Rect r) {
  MoveWindow(reinterpret_cast<HWND>(window), r.left, r.top, r.width, r.height, TRUE);
}

void Win32WindowSystem::show(WindowHandle window, ShowCommand command) {
  static constexpr int kCommands[] = {SW_HIDE, SW_SHOW, SW_MINIMIZE, SW_SHOWNORMAL};
  const HWND w = reinterpret_cast<HWND>(window);
  // The program minimises 主窗口 only to take a picture of what lies beneath: the
  // compositor's animation would be in that picture, or be waited for. It stays off until
  // the program brings the window back, so that the picture shows at once, and is the
  // system's again for the user's own minimise. Where there is no compositor the call fails
  // and changes nothing.
  if (command == ShowCommand::Minimize) setTransitions(w, false);
  ShowWindow(w, kCommands[static_cast<int>(command)]);
  if (command == ShowCommand::ShowNormal) setTransitions(w, true);
}

bool Win32WindowSystem::isVisible(WindowHandle window) const {
  return IsWindowVisible(reinterpret_cast<HWND>(window));
}

void Win32WindowSystem::enable(WindowHandle window, bool enabled) {
  EnableWindow(reinterpret_cast<HWND>(window), enabled);
}

void Win32WindowSystem::setTopmost(WindowHandle window, bool topmost) {
  SetWindowPos(reinterpret_cast<HWND>(window), topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Win32WindowSystem::bringForward(WindowHandle window) {
  HWND w = reinterpret_cast<HWND>(window);
  if (IsIconic(w)) ShowWindow(w, SW_RESTORE);
  SetForegroundWindow(w);
}

void Win32WindowSystem::invalidate(WindowHandle window, bool erase) {
  InvalidateRect(reinterpret_cast<HWND>(window), nullptr, erase);
}

void Win32WindowSystem::setScrollRange(WindowHandle scrollBar, int minimum, int maximum) {
  SetScrollRange(reinterpret_cast<HWND>(scrollBar), SB_CTL, minimum, maximum, TRUE);
}

void Win32WindowSystem::setScrollPosition(WindowHandle scrollBar, int position) {
  SetScrollPos(reinterpret_cast<HWND>(scrollBar), SB_CTL, position, TRUE);
}

void Win32WindowSystem::startTimer(WindowHandle owner, std::uintptr_t id, int periodMs) {
  // Identifier 0 is reserved for "no timer" by some callers; shift by one.
  SetTimer(reinterpret_cast<HWND>(owner), id + 1, static_cast<UINT>(periodMs), nullptr);
}

void Win32WindowSystem::stopTimer(WindowHandle owner, std::uintptr_t id) {
  KillTimer(reinterpret_cast<HWND>(owner), id + 1);
}

void Win32WindowSystem::fatal(std::string_view message) {
  // Fixed buffers only: this may be the report that memory ran out. A fatal error raised
  // while the box is up (nothing of ours should run then) ends the process at once.
  static bool showing = false;
  if (!showing) {
    showing = true;
    wchar_t text[kFatalMessageSize];
    const int n = MultiByteToWideChar(CP_UTF8, 0, message.data(), static_cast<int>(message.size()),
                                      text, static_cast<int>(std::size(text)) - 1);
    text[n > 0 ? n : 0] = L'\0';
    // Topmost: the region overlay covers the whole screen in the always-on-top band.
    MessageBoxW(nullptr, text, L"蓝杉果高级屏幕截图软件 - 严重错误",
                MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_TOPMOST | MB_SETFOREGROUND);
  }
  // At once, without the normal termination that would release the shared state.
  ExitProcess(static_cast<UINT>(-1));
}

}  // namespace lsg::win
