#include "ui/controls.h"

#include "ui/application.h"
#include "ui/form.h"

namespace lsg {

Control::Control(Form& form, const ControlDefinition& definition)
    : Widget(form.application().windows(), definition.place), form_(form), definition_(definition) {
  Widget::setEnabledState(definition.enabled);
}

bool Control::hasWindow() const {
  return kind() != ControlKind::Timer && kind() != ControlKind::SaveDialog;
}

Rect Control::layoutPlace() const { return scaleToDpi(definition_.place, form_.dpi()); }

void Control::leftDown(const MouseEvent& event) {
  if (definition_.onLeftDown) definition_.onLeftDown(form_, event);
}

void Control::mouseMove(const MouseEvent& event) {
  if (definition_.onMouseMove) definition_.onMouseMove(form_, event);
}

void Control::leftUp(const MouseEvent& event) {
  if (definition_.onLeftUp) definition_.onLeftUp(form_, event);
}

Canvas::Canvas(Form& form, const ControlDefinition& definition)
    : Control(form, definition), background_(BackgroundPicture::Kind::Canvas) {
  background_.setMode(definition.pictureMode);
  background_.assign(definition.picture);
}

void Canvas::setPicture(const Picture& picture) {
  background_.assign(picture);
  // Repainted when the loop next runs; the canvas paints every pixel, so no erase.
  if (handle()) windows().invalidate(handle(), false);
}

void Canvas::setPictureMode(int mode) {
  if (background_.setMode(mode) && handle()) windows().invalidate(handle(), false);
}

void Canvas::clear() {
  if (handle()) windows().invalidate(handle(), false);
}

ScrollBar::ScrollBar(Form& form, const ControlDefinition& definition) : Control(form, definition) {
  model_.setMinimum(definition.minimum);
  model_.setMaximum(definition.maximum);
  model_.setPosition(definition.position);
  model_.setPageStep(definition.pageStep);
  model_.setLineStep(definition.lineStep);
  model_.setThumbTracking(definition.thumbTracking);
}

void ScrollBar::setMinimum(int value) {
  model_.setMinimum(value);
  syncToWindow();
}

void ScrollBar::setMaximum(int value) {
  model_.setMaximum(value);
  syncToWindow();
}

void ScrollBar::setPosition(int value) {
  model_.setPosition(value);
  if (handle()) windows().setScrollPosition(handle(), model_.thumbPosition());
}

void ScrollBar::syncToWindow() {
  if (!handle()) return;
  windows().setScrollRange(handle(), model_.low(), model_.high());
  windows().setScrollPosition(handle(), model_.thumbPosition());
}

void ScrollBar::userAction(ScrollAction action, int thumb) {
  if (!enabled()) return;
  if (!model_.act(action, thumb)) return;
  windows().setScrollPosition(handle(), model_.thumbPosition());
  if (definition().onPositionChanged) definition().onPositionChanged(form());
}

void Timer::tick() {
  if (definition().onTick) definition().onTick(form());
}

}  // namespace lsg
