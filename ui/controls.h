#pragma once

#include <cstdint>
#include <string>

#include "picture/background.h"
#include "ui/definition.h"
#include "ui/save_dialog_settings.h"
#include "ui/scroll_model.h"
#include "ui/widget.h"

namespace lsg {

class Form;

// A control of a loaded window, built from its definition.
class Control : public Widget {
 public:
  Control(Form& form, const ControlDefinition& definition);

  const ControlDefinition& definition() const { return definition_; }
  const std::string& name() const { return definition_.name; }
  ControlKind kind() const { return definition_.kind; }
  Form& form() const { return form_; }
  // Whether the control is a platform window (timers and the dialog component are not).
  bool hasWindow() const;
  // The definition's place scaled to the form's DPI, and whether the control is there.
  Rect layoutPlace() const;
  bool atLayoutPlace() const { return rect() == layoutPlace(); }

  // Mouse events from the platform, in this control's client coordinates.
  void leftDown(const MouseEvent& event);
  void mouseMove(const MouseEvent& event);
  void leftUp(const MouseEvent& event);

 private:
  Form& form_;
  const ControlDefinition& definition_;
};

// A canvas: the background colour of its definition, under a background picture that the
// commands replace at run time. (A shape box is ShapeBox, below.)
class Canvas : public Control {
 public:
  Canvas(Form& form, const ControlDefinition& definition);

  void setPicture(const Picture& picture);
  Picture picture() const { return background_.read(); }
  void setPictureMode(int mode);
  int pictureMode() const { return background_.mode(); }
  // Repaints the whole client area with the background colour and picture.
  void clear();

  BackgroundPicture& background() { return background_; }
  ColourSetting backgroundColour() const { return definition().background; }

 private:
  BackgroundPicture background_;
};

class ShapeBox : public Control {
 public:
  using Control::Control;
  ColourSetting fill() const { return definition().fill; }
  ColourSetting backgroundColour() const { return definition().background; }
  bool outline() const { return definition().outline; }
};

class Label : public Control {
 public:
  using Control::Control;
  const std::string& text() const { return definition().text; }
};

class ScrollBar : public Control {
 public:
  ScrollBar(Form& form, const ControlDefinition& definition);

  int minimum() const { return model_.minimum(); }
  int maximum() const { return model_.maximum(); }
  int position() const { return model_.position(); }
  int thumbPosition() const { return model_.thumbPosition(); }
  int low() const { return model_.low(); }
  int high() const { return model_.high(); }
  // Property writes raise no event.
  void setMinimum(int value);
  void setMaximum(int value);
  void setPosition(int value);

  // Puts the initial range and position on a newly created platform window.
  void syncToWindow();
  // A user action from the platform: moves the thumb and raises one position-changed
  // event when the position changed.
  void userAction(ScrollAction action, int thumb);

 private:
  ScrollModel model_;
};

class Timer : public Control {
 public:
  using Control::Control;
  int periodMs() const { return definition().periodMs; }
  void tick();
};

class SaveDialog : public Control {
 public:
  using Control::Control;
  SaveDialogSettings& settings() { return settings_; }

 private:
  SaveDialogSettings settings_;
};

}  // namespace lsg
