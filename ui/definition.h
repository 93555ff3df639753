#pragma once

#include <functional>
#include <string>
#include <vector>

#include "picture/colour.h"
#include "picture/geometry.h"
#include "picture/picture.h"

namespace lsg {

class Form;

// Key state of a mouse event.
enum KeyState : int { kCtrlKey = 1, kShiftKey = 2, kAltKey = 4 };

struct MouseEvent {
  int x = 0;  // client coordinates of the control that receives the event
  int y = 0;
  int keys = 0;
};

using FormHandler = std::function<void(Form&)>;
using MouseHandler = std::function<void(Form&, const MouseEvent&)>;

// A colour setting: an RGB value or the system's button-face colour, which the platform
// resolves when it paints.
struct ColourSetting {
  Colour rgb = kWhite;
  bool buttonFace = false;
  static ColourSetting of(Colour c) { return {c, false}; }
  static ColourSetting systemButtonFace() { return {kWhite, true}; }
};

enum class ControlKind { Canvas, ShapeBox, Label, ScrollBar, Timer, SaveDialog };
enum class Orientation { Horizontal, Vertical };

// One control of a window definition. Which fields matter depends on the kind.
struct ControlDefinition {
  std::string name;
  ControlKind kind = ControlKind::Canvas;
  std::string parent;  // empty: the window itself
  Rect place;          // in the parent's client area
  bool visible = true;
  bool enabled = true;

  // Canvas and shape box.
  ColourSetting background = ColourSetting::of(kWhite);
  int pictureMode = 0;
  Picture picture;

  // Shape box: a rectangle filling the client area.
  ColourSetting fill = ColourSetting::of(kWhite);
  bool outline = false;  // no outline: line type none

  // Label.
  std::string text;
  bool staticEdge = false;

  // Scroll bar.
  Orientation orientation = Orientation::Horizontal;
  int minimum = 0;
  int maximum = 100;
  int position = 0;
  int pageStep = 1;
  int lineStep = 1;
  bool thumbTracking = true;

  // Timer.
  int periodMs = 0;

  // Events.
  MouseHandler onLeftDown;
  MouseHandler onMouseMove;
  MouseHandler onLeftUp;
  FormHandler onPositionChanged;
  FormHandler onTick;
};

struct MenuItem {
  std::string caption;  // empty: a separator
  char shortcut = 0;    // Ctrl + this letter
  FormHandler onChoose;
};

struct Menu {
  std::string caption;
  std::vector<MenuItem> items;
};

enum class Frame { FixedSingle, None };

struct FormDefinition {
  std::string name;
  std::string title;
  Rect place;  // outer rectangle, screen coordinates
  // The client area the controls are laid out for at 96 DPI. When set, a window on a
  // display of another DPI places its controls at dpi / 96 of their definition and holds
  // this area scaled alike, with that DPI's frame, caption and menu bar; at 96 DPI it keeps
  // `place` exactly. When empty the window and its controls are in physical pixels, as
  // overlays that must line up with the screen are.
  Size layoutClient;
  bool centred = false;
  Frame frame = Frame::FixedSingle;
  bool minimizeButton = false;
  bool showInTaskbar = true;
  bool topmost = false;
  bool escCloses = true;
  bool visible = true;
  bool appIcon = false;

  ColourSetting background = ColourSetting::systemButtonFace();
  int pictureMode = 0;
  Picture picture;

  std::vector<Menu> menus;
  std::vector<ControlDefinition> controls;  // in z-order, top first

  FormHandler onCreated;
  FormHandler onAboutToBeDestroyed;
  // The controls were laid out again for a new DPI (the window moved to another monitor).
  FormHandler onDpiChanged;
  MouseHandler onLeftDown;
  MouseHandler onMouseMove;
  MouseHandler onLeftUp;
};

}  // namespace lsg
