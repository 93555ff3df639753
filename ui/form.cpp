#include "ui/form.h"

#include "ui/application.h"

namespace lsg {

namespace {

std::unique_ptr<Control> makeControl(Form& form, const ControlDefinition& definition) {
  switch (definition.kind) {
    case ControlKind::Canvas:
      return std::make_unique<Canvas>(form, definition);
    case ControlKind::ShapeBox:
      return std::make_unique<ShapeBox>(form, definition);
    case ControlKind::Label:
      return std::make_unique<Label>(form, definition);
    case ControlKind::ScrollBar:
      return std::make_unique<ScrollBar>(form, definition);
    case ControlKind::Timer:
      return std::make_unique<Timer>(form, definition);
    case ControlKind::SaveDialog:
      return std::make_unique<SaveDialog>(form, definition);
  }
  return nullptr;
}

}  // namespace

Form::Form(Application& application, const FormDefinition& definition)
    : Widget(application.windows(), definition.place),
      application_(application),
      definition_(definition),
      background_(BackgroundPicture::Kind::Window) {
  background_.setMode(definition.pictureMode);
  background_.assign(definition.picture);
  controls_.reserve(definition.controls.size());
  for (const ControlDefinition& c : definition.controls) controls_.push_back(makeControl(*this, c));
}

Control* Form::find(std::string_view name) const {
  for (const auto& c : controls_)
    if (c->name() == name) return c.get();
  return nullptr;
}

Control& Form::control(std::string_view name) const {
  Control* c = find(name);
  if (!c) fatalNoControl(name);
  return *c;
}

Timer* Form::timer(std::uintptr_t id) const {
  if (id >= controls_.size() || controls_[id]->kind() != ControlKind::Timer) return nullptr;
  return static_cast<Timer*>(controls_[id].get());
}

void Form::fatalNoControl(std::string_view name) const {
  application_.fatal("窗口 " + definition_.name + " 没有部件 " + std::string(name));
}

void Form::layOutForDpi(int dpi) {
  if (definition_.layoutClient == Size{}) return;
  dpi_ = dpi;
  for (const auto& c : controls_) c->move(toMove(c->layoutPlace()));
  // At 96 DPI the window keeps its defined outer size exactly.
  if (dpi == kLayoutDpi || !handle()) return;
  const Size outer = windows().outerSize(handle(), scaleToDpi(definition_.layoutClient, dpi), dpi);
  Rect r = rect();
  if (definition_.centred) {
    const Size screen = windows().screenSize();
    r.left = (screen.width - outer.width) / 2;
    r.top = (screen.height - outer.height) / 2;
  }
  move({r.left, r.top, outer.width, outer.height});
}

void Form::dpiChanged(int dpi, Rect suggested) {
  // Overlays work in the screen's physical pixels: nothing of them scales.
  if (definition_.layoutClient == Size{} || dpi <= 0) return;
  std::vector<Control*> laidOut;
  for (const auto& c : controls_)
    if (c->hasWindow() && c->atLayoutPlace()) laidOut.push_back(c.get());
  dpi_ = dpi;
  move(toMove(suggested));
  for (Control* c : laidOut) c->move(toMove(c->layoutPlace()));
  if (definition_.onDpiChanged) definition_.onDpiChanged(*this);
}

void Form::setPicture(const Picture& picture) {
  background_.assign(picture);
  if (handle()) windows().invalidate(handle(), true);
}

void Form::setTopmost(bool on) {
  if (handle()) windows().setTopmost(handle(), on);
}

void Form::destroy() {
  if (handle()) windows().postDestroy(handle());
}

void Form::raiseCreated() {
  if (definition_.onCreated) definition_.onCreated(*this);
}

void Form::raiseAboutToBeDestroyed() {
  if (definition_.onAboutToBeDestroyed) definition_.onAboutToBeDestroyed(*this);
}

void Form::leftDown(const MouseEvent& event) {
  if (definition_.onLeftDown) definition_.onLeftDown(*this, event);
}

void Form::mouseMove(const MouseEvent& event) {
  if (definition_.onMouseMove) definition_.onMouseMove(*this, event);
}

void Form::leftUp(const MouseEvent& event) {
  if (definition_.onLeftUp) definition_.onLeftUp(*this, event);
}

void Form::menuChosen(std::size_t menu, std::size_t item) {
  if (menu >= definition_.menus.size() || item >= definition_.menus[menu].items.size()) return;
  const MenuItem& chosen = definition_.menus[menu].items[item];
  if (chosen.onChoose) chosen.onChoose(*this);
}

}  // namespace lsg
