#include "ui/application.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "ui/fatal_message.h"

namespace lsg {

Form* Application::load(const FormDefinition& definition) {
  if (Form* loaded = find(definition.name)) {
    windows_.bringForward(loaded->handle());
    return loaded;
  }
  auto owned = std::make_unique<Form>(*this, definition);
  Form& form = *owned;

  Rect outer = definition.place;
  if (definition.centred) {
    const Size screen = windows_.screenSize();
    outer.left = (screen.width - outer.width) / 2;
    outer.top = (screen.height - outer.height) / 2;
    form.move({outer.left, outer.top, outer.width, outer.height});
  }
  const WindowHandle handle = windows_.createForm(form, outer);
  if (!handle) return nullptr;
  form.attach(handle);
  forms_.push_back(std::move(owned));
  form.layOutForDpi(windows_.dpi(handle));

  // Parents before their children; among siblings the bottom one first.
  const auto& controls = form.controls();
  std::vector<bool> created(controls.size(), false);
  for (bool progress = true; progress;) {
    progress = false;
    for (std::size_t i = controls.size(); i-- > 0;) {
      Control& c = *controls[i];
      if (created[i]) continue;
      WindowHandle parent = handle;
      if (!c.definition().parent.empty()) {
        Control* p = form.find(c.definition().parent);
        if (!p || !p->handle()) continue;
        parent = p->handle();
      }
      created[i] = progress = true;
      if (c.kind() == ControlKind::Timer) {
        if (c.definition().periodMs > 0) windows_.startTimer(handle, i, c.definition().periodMs);
        continue;
      }
      if (!c.hasWindow()) continue;
      c.attach(windows_.createControl(c, parent));
      if (c.kind() == ControlKind::ScrollBar) static_cast<ScrollBar&>(c).syncToWindow();
    }
  }
  windows_.arrangeZOrder(form);
  for (const auto& c : controls)
    if (c->hasWindow() && c->definition().visible) c->setVisible(true);

  form.raiseCreated();
  if (definition.visible && find(definition.name) == &form) form.setVisible(true);
  return &form;
}

Form* Application::find(std::string_view name) const {
  for (const auto& f : forms_)
    if (f->name() == name) return f.get();
  return nullptr;
}

Form& Application::form(std::string_view name) const {
  Form* f = find(name);
  if (!f) fatal("窗口 " + std::string(name) + " 没有加载");
  return *f;
}

void Application::fatal(std::string_view message) const {
  halted_ = true;
  for (const auto& form : forms_) {
    const auto& controls = form->controls();
    for (std::size_t i = 0; i < controls.size(); ++i) {
      if (controls[i]->kind() == ControlKind::Timer && controls[i]->definition().periodMs > 0) {
        windows_.stopTimer(form->handle(), i);
      }
    }
    windows_.enable(form->handle(), false);
  }
  windows_.fatal(message);
  std::abort();  // fatal() never returns; this only tells the compiler
}

void Application::outOfMemory(std::size_t bytes) const {
  std::array<char, kFatalMessageSize> buffer;
  fatal(outOfMemoryMessage(buffer, bytes));
}

bool Application::enterLoop() {
  loopRunning_ = anyLoaded();
  return loopRunning_;
}

void Application::closeRequested(Form& form) {
  // The overlays address the start window's controls while they run; closing the start
  // window takes them with it, so none of them can outlive what they rely on.
  if (!forms_.empty() && forms_.front().get() == &form) {
    std::vector<WindowHandle> others;
    for (std::size_t i = 1; i < forms_.size(); ++i) others.push_back(forms_[i]->handle());
    for (WindowHandle h : others) windows_.destroy(h);
  }
  windows_.destroy(form.handle());
}

void Application::dpiChanged(Form& form, int dpi, Rect suggested) {
  form.dpiChanged(dpi, suggested);
}

void Application::destroyRequested(Form& form) { windows_.destroy(form.handle()); }

void Application::destroying(Form& form) { form.raiseAboutToBeDestroyed(); }

void Application::destroyed(Form& form) {
  auto it =
      std::find_if(forms_.begin(), forms_.end(), [&](const auto& f) { return f.get() == &form; });
  if (it == forms_.end()) return;
  forms_.erase(it);
  if (forms_.empty() && loopRunning_) windows_.postQuit();
}

bool Application::escCloses(const FormDefinition& definition, int keys) {
  return definition.escCloses && (keys & (kCtrlKey | kShiftKey | kAltKey)) == 0;
}

}  // namespace lsg
