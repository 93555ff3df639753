#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "picture/background.h"
#include "ui/controls.h"
#include "ui/definition.h"
#include "ui/dpi.h"
#include "ui/widget.h"

namespace lsg {

class Application;

// A loaded window: the platform window, its controls and its background picture, built
// from a definition that outlives it.
class Form : public Widget {
 public:
  Form(Application& application, const FormDefinition& definition);

  const FormDefinition& definition() const { return definition_; }
  const std::string& name() const { return definition_.name; }
  Application& application() const { return application_; }

  // The DPI the controls are laid out for: 96 for a window in physical pixels.
  int dpi() const { return dpi_; }
  // Places the controls for `dpi` before they have platform windows, and sizes the window
  // to hold its scaled client area there, centred again when its definition says so.
  void layOutForDpi(int dpi);
  // The window moved to a monitor of another DPI: it takes the platform's suggested outer
  // rectangle, and every control still at its laid-out place goes to its place for the new
  // DPI; a control the program has moved since (a scrolled canvas) is left to the handler.
  void dpiChanged(int dpi, Rect suggested);

  // Controls by name. Naming a control the definition does not have is a fatal error.
  Control* find(std::string_view name) const;
  Control& control(std::string_view name) const;
  Canvas& canvas(std::string_view name) const { return as<Canvas>(name, ControlKind::Canvas); }
  ShapeBox& shapeBox(std::string_view name) const {
    return as<ShapeBox>(name, ControlKind::ShapeBox);
  }
  ScrollBar& scrollBar(std::string_view name) const {
    return as<ScrollBar>(name, ControlKind::ScrollBar);
  }
  SaveDialog& saveDialog(std::string_view name) const {
    return as<SaveDialog>(name, ControlKind::SaveDialog);
  }
  const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
  Timer* timer(std::uintptr_t id) const;

  void setPicture(const Picture& picture);
  Picture picture() const { return background_.read(); }
  BackgroundPicture& background() { return background_; }

  // Every write reaches the platform, also when the value does not change: writing on
  // lifts the window to the top of the always-on-top band.
  void setTopmost(bool on);

  // Queues the destruction: the window goes once the running handler has returned.
  void destroy();

  // Events, raised by the platform and the loader.
  void raiseCreated();
  void raiseAboutToBeDestroyed();
  void leftDown(const MouseEvent& event);
  void mouseMove(const MouseEvent& event);
  void leftUp(const MouseEvent& event);
  void menuChosen(std::size_t menu, std::size_t item);

 private:
  template <typename T>
  T& as(std::string_view name, ControlKind kind) const;
  [[noreturn]] void fatalNoControl(std::string_view name) const;

  Application& application_;
  const FormDefinition& definition_;
  std::vector<std::unique_ptr<Control>> controls_;
  BackgroundPicture background_;
  int dpi_ = kLayoutDpi;
};

template <typename T>
T& Form::as(std::string_view name, ControlKind kind) const {
  Control& c = control(name);
  if (c.kind() != kind) fatalNoControl(name);
  return static_cast<T&>(c);
}

}  // namespace lsg
