// The message loop and the one window procedure: messages become calls on the layer's
// forms and controls here, and nowhere else.
#include <new>

#include "platform/win32/allocation.h"
#include "platform/win32/menus_win.h"
#include "platform/win32/messages_win.h"
#include "platform/win32/paint_win.h"
#include "platform/win32/text.h"
#include "platform/win32/window_system_win.h"

namespace lsg::win {

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
