#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "ui/definition.h"
#include "ui/form.h"
#include "ui/window_system.h"

namespace lsg {

// The loaded windows and the life of the event loop. The platform reports the window
// messages; this decides what they mean.
class Application {
 public:
  explicit Application(WindowSystem& windows) : windows_(windows) {}

  WindowSystem& windows() const { return windows_; }

  // Loads without waiting: creates the window hidden with its controls, shows the visible
  // controls, raises the created event, then shows the window if its definition says so.
  // A window that is already loaded is only brought forward. nullptr when the platform
  // refused the window. The definition must outlive the loaded window.
  Form* load(const FormDefinition& definition);
  Form* find(std::string_view name) const;
  // A loaded window by name; addressing one that is not loaded is a fatal error.
  Form& form(std::string_view name) const;
  bool anyLoaded() const { return !forms_.empty(); }

  // Ends the process with a fatal error box and exit code -1; the shared state is not
  // released. Nothing of the program runs beneath the box: the box's own message loop
  // would go on delivering ticks, paints and clicks to handlers that may need what just
  // failed, so every loaded window is disabled and its timers stopped first, and from then
  // on the platform hands no message to a handler. Allocates nothing.
  [[noreturn]] void fatal(std::string_view message) const;
  // The same for an allocation of `bytes` that failed; the report is built in place.
  [[noreturn]] void outOfMemory(std::size_t bytes) const;
  bool halted() const { return halted_; }

  // Marks the loop as running; false when no window is loaded, so there is nothing to run.
  bool enterLoop();

  // From the platform's messages.
  void closeRequested(Form& form);    // WM_CLOSE
  void destroyRequested(Form& form);  // the private message queued by Form::destroy
  void destroying(Form& form);        // WM_DESTROY
  void destroyed(Form& form);         // WM_NCDESTROY, the last message a window gets
  void dpiChanged(Form& form, int dpi, Rect suggested);  // WM_DPICHANGED

  // Plain Esc closes the window that has the focus when its definition allows it.
  static bool escCloses(const FormDefinition& definition, int keys);

 private:
  WindowSystem& windows_;
  std::vector<std::unique_ptr<Form>>
      forms_;  // loaded, in load order; the first is the start window
  bool loopRunning_ = false;
  mutable bool halted_ = false;  // set on the way out, from any handler
};

}  // namespace lsg
