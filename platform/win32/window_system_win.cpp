#include "platform/win32/window_system_win.h"

#include <dwmapi.h>
#include <windowsx.h>

#include <iterator>
#include <new>
#include <string>

#include "platform/win32/allocation.h"
#include "platform/win32/later_windows.h"
#include "platform/win32/paint_win.h"
#include "platform/win32/text.h"
#include "resources/resource_ids.h"
#include "ui/fatal_message.h"

namespace lsg::win {

namespace {

constexpr wchar_t kFormClass[] = L"LsgForm";
constexpr wchar_t kCanvasClass[] = L"LsgCanvas";
constexpr wchar_t kShapeBoxClass[] = L"LsgShapeBox";
constexpr wchar_t kLabelClass[] = L"LsgLabel";

// Posted by Form::destroy: a window cannot be destroyed inside its own handler, whose code
// and controls are still in use, so the destruction waits for the queue.
constexpr UINT kDestroyMessage = WM_APP + 1;

// Menu command identifiers: menu index and item index packed into one.
constexpr UINT kFirstCommand = 1000;
constexpr UINT commandId(std::size_t menu, std::size_t item) {
  return kFirstCommand + static_cast<UINT>(menu * 100 + item);
}

int keyState(WPARAM wParam) {
  int keys = 0;
  if (wParam & MK_CONTROL) keys |= kCtrlKey;
  if (wParam & MK_SHIFT) keys |= kShiftKey;
  if (GetKeyState(VK_MENU) < 0) keys |= kAltKey;
  return keys;
}

int heldModifiers() {
  int keys = 0;
  if (GetKeyState(VK_CONTROL) < 0) keys |= kCtrlKey;
  if (GetKeyState(VK_SHIFT) < 0) keys |= kShiftKey;
  if (GetKeyState(VK_MENU) < 0) keys |= kAltKey;
  return keys;
}

MouseEvent mouseEvent(WPARAM wParam, LPARAM lParam) {
  return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), keyState(wParam)};
}

std::optional<ScrollAction> scrollAction(WORD code) {
  switch (code) {
    case SB_LINEUP:
      return ScrollAction::LineUp;
    case SB_LINEDOWN:
      return ScrollAction::LineDown;
    case SB_PAGEUP:
      return ScrollAction::PageUp;
    case SB_PAGEDOWN:
      return ScrollAction::PageDown;
    case SB_THUMBPOSITION:
      return ScrollAction::ThumbPosition;
    case SB_THUMBTRACK:
      return ScrollAction::ThumbTrack;
    case SB_TOP:
      return ScrollAction::Top;
    case SB_BOTTOM:
      return ScrollAction::Bottom;
    case SB_ENDSCROLL:
      return ScrollAction::EndScroll;
  }
  return std::nullopt;
}

void setTransitions(HWND window, bool on) {
  const BOOL disabled = on ? FALSE : TRUE;
  DwmSetWindowAttribute(window, DWMWA_TRANSITIONS_FORCEDISABLED, &disabled, sizeof(disabled));
}

SIZE clientSizeOf(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return {r.right, r.bottom};
}

UniqueMenu buildMenu(const FormDefinition& definition) {
  if (definition.menus.empty()) return {};
  UniqueMenu bar(CreateMenu());
  for (std::size_t m = 0; m < definition.menus.size(); ++m) {
    HMENU popup = CreatePopupMenu();
    const Menu& menu = definition.menus[m];
    for (std::size_t i = 0; i < menu.items.size(); ++i) {
      const MenuItem& item = menu.items[i];
      if (item.caption.empty()) {
        AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
        continue;
      }
      std::string text = item.caption;
      if (item.shortcut) text += std::string("\tCtrl+") + item.shortcut;
      AppendMenuW(popup, MF_STRING, commandId(m, i), widen(text).c_str());
    }
    AppendMenuW(bar.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(popup),
                widen(menu.caption).c_str());
  }
  return bar;
}

UniqueAccelerators buildAccelerators(const FormDefinition& definition) {
  std::vector<ACCEL> table;
  for (std::size_t m = 0; m < definition.menus.size(); ++m) {
    for (std::size_t i = 0; i < definition.menus[m].items.size(); ++i) {
      const char key = definition.menus[m].items[i].shortcut;
      if (!key) continue;
      table.push_back({FVIRTKEY | FCONTROL | FNOINVERT, static_cast<WORD>(key),
                       static_cast<WORD>(commandId(m, i))});
    }
  }
  if (table.empty()) return {};
  return UniqueAccelerators(CreateAcceleratorTableW(table.data(), static_cast<int>(table.size())));
}

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

Target* Win32WindowSystem::targetOf(HWND window) const {
  return reinterpret_cast<Target*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// Accelerators first, then plain Esc, and only then delivery.
bool Win32WindowSystem::preTranslate(MSG& message) {
  if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST || !message.hwnd) return false;
  HWND root = GetAncestor(message.hwnd, GA_ROOT);
  auto found = targets_.find(root);
  if (found == targets_.end() || !found->second->form) return false;
  if (auto table = accelerators_.find(root); table != accelerators_.end()) {
    if (TranslateAcceleratorW(root, table->second.get(), &message)) return true;
  }
  if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE &&
      Application::escCloses(found->second->form->definition(), heldModifiers())) {
    PostMessageW(root, WM_CLOSE, 0, 0);
    return true;
  }
  return false;
}

void Win32WindowSystem::runLoop() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (preTranslate(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

LRESULT CALLBACK Win32WindowSystem::windowProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* target = reinterpret_cast<Target*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  auto* self = static_cast<Win32WindowSystem*>(nullptr);
  if (target) {
    Form* form = target->form ? target->form : target->control ? &target->control->form() : nullptr;
    if (form) self = static_cast<Win32WindowSystem*>(&form->application().windows());
  }
  // After a fatal error the box's message loop still delivers paints and ticks; none of
  // them may reach a handler.
  if (!self || !self->app_ || self->app_->halted()) {
    return DefWindowProcW(window, message, wParam, lParam);
  }
  // No exception may unwind through the system's code that called us; an allocation that
  // failed where nothing expected it is fatal.
  try {
    if (target->form) return self->formMessage(window, *target->form, message, wParam, lParam);
    return self->controlMessage(window, *target->control, message, wParam, lParam);
  } catch (const std::bad_alloc&) {
    self->app_->outOfMemory(lastFailedAllocationSize());
  } catch (...) {
    self->app_->fatal("内部错误");
  }
}

LRESULT Win32WindowSystem::formMessage(HWND window, Form& form, UINT message, WPARAM wParam,
                                       LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      app_->closeRequested(form);
      return 0;
    case kDestroyMessage:
      app_->destroyRequested(form);
      return 0;
    case WM_DESTROY:
      app_->destroying(form);
      return 0;
    case WM_NCDESTROY: {
      // The last message the window gets: forget it, then let the layer drop the form.
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      accelerators_.erase(window);
      auto owned = std::move(targets_[window]);
      // Children had their WM_NCDESTROY first; system controls such as the scroll bars
      // never pass through our window procedure, so their records go here.
      std::erase_if(targets_, [&](const auto& entry) {
        return !entry.second || entry.first == window ||
               (entry.second->control && &entry.second->control->form() == &form);
      });
      app_->destroyed(form);
      return DefWindowProcW(window, message, wParam, lParam);
    }
    case WM_COMMAND:
      if (lParam == 0 && LOWORD(wParam) >= kFirstCommand) {
        const UINT id = LOWORD(wParam) - kFirstCommand;
        form.menuChosen(id / 100, id % 100);
        return 0;
      }
      break;
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (Target* bar = lParam ? targetOf(reinterpret_cast<HWND>(lParam)) : nullptr;
          bar && bar->control && bar->control->kind() == ControlKind::ScrollBar) {
        if (auto action = scrollAction(LOWORD(wParam))) {
          static_cast<ScrollBar*>(bar->control)
              ->userAction(*action, static_cast<short>(HIWORD(wParam)));
        }
        return 0;
      }
      break;
    case WM_TIMER:
      if (Timer* t = form.timer(wParam - 1)) t->tick();
      return 0;
    case WM_DPICHANGED: {
      // The window moved to a monitor of another scale; the system suggests the outer
      // rectangle that keeps it in place at the new size.
      const RECT& r = *reinterpret_cast<const RECT*>(lParam);
      app_->dpiChanged(form, HIWORD(wParam), {r.left, r.top, r.right - r.left, r.bottom - r.top});
      return 0;
    }
    case WM_LBUTTONDOWN:
      form.leftDown(mouseEvent(wParam, lParam));
      return 0;
    case WM_MOUSEMOVE:
      form.mouseMove(mouseEvent(wParam, lParam));
      return 0;
    case WM_LBUTTONUP:
      form.leftUp(mouseEvent(wParam, lParam));
      return 0;
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT paints every pixel
    case WM_PAINT: {
      PaintDc paint(window);
      paintBackground(paint.get(), paint.area(), clientSizeOf(window), form.background(),
                      colourOf(form.definition().background));
      return 0;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT Win32WindowSystem::controlMessage(HWND window, Control& control, UINT message,
                                          WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    targets_.erase(window);
    return DefWindowProcW(window, message, wParam, lParam);
  }
  switch (message) {
    case WM_LBUTTONDOWN:
      control.leftDown(mouseEvent(wParam, lParam));
      return 0;
    case WM_MOUSEMOVE:
      control.mouseMove(mouseEvent(wParam, lParam));
      return 0;
    case WM_LBUTTONUP:
      control.leftUp(mouseEvent(wParam, lParam));
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PaintDc paint(window);
      const SIZE size = clientSizeOf(window);
      switch (control.kind()) {
        case ControlKind::Canvas: {
          Canvas& canvas = static_cast<Canvas&>(control);
          paintBackground(paint.get(), paint.area(), size, canvas.background(),
                          colourOf(canvas.backgroundColour()));
          break;
        }
        case ControlKind::ShapeBox: {
          const ShapeBox& box = static_cast<const ShapeBox&>(control);
          paintShapeBox(paint.get(), paint.area(), size, colourOf(box.backgroundColour()),
                        colourOf(box.fill()), box.outline());
          break;
        }
        case ControlKind::Label: {
          const Label& label = static_cast<const Label&>(control);
          paintLabel(paint.get(), paint.area(), size, colourOf(label.definition().background),
                     widen(label.text()));
          break;
        }
        default:
          break;
      }
      return 0;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace lsg::win
