#include "fake/fake_window_system.h"

#include <algorithm>

#include "fake/allocations.h"
#include "ui/dpi.h"
#include "ui/form.h"

namespace lsg::fake {

WindowHandle FakeWindowSystem::add(FakeWindow w) {
  const WindowHandle h = next_++;
  windows_[h] = w;
  return h;
}

FakeWindow& FakeWindowSystem::window(WindowHandle handle) {
  auto it = windows_.find(handle);
  if (it == windows_.end()) throw std::logic_error("no such window");
  return it->second;
}

const FakeWindow& FakeWindowSystem::window(WindowHandle handle) const {
  return const_cast<FakeWindowSystem*>(this)->window(handle);
}

WindowHandle FakeWindowSystem::createForm(Form& form, Rect outer) {
  if (refuseForms) return 0;
  log.push_back("create " + form.name());
  return add(
      {.form = &form, .rect = outer, .topmost = form.definition().topmost, .dpi = newWindowDpi});
}

WindowHandle FakeWindowSystem::createControl(Control& control, WindowHandle parent) {
  log.push_back("create " + control.name());
  return add({.control = &control,
              .parent = parent,
              .rect = control.rect(),
              .enabled = control.enabled()});
}

int FakeWindowSystem::dpi(WindowHandle handle) const { return window(handle).dpi; }

Size FakeWindowSystem::outerSize(WindowHandle, Size client, int atDpi) const {
  const Size frame = scaleToDpi(kFakeFrame, atDpi);
  return {client.width + frame.width, client.height + frame.height};
}

// Controls have no border here, so their client area is their whole rectangle.
Size FakeWindowSystem::clientSize(WindowHandle handle) const {
  const FakeWindow& w = window(handle);
  if (!w.form || w.form->definition().frame == Frame::None) return {w.rect.width, w.rect.height};
  const Size frame = scaleToDpi(kFakeFrame, w.dpi);
  return {w.rect.width - frame.width, w.rect.height - frame.height};
}

void FakeWindowSystem::changeDpi(Form& form, int newDpi, Rect suggested) {
  window(form.handle()).dpi = newDpi;
  if (app) app->dpiChanged(form, newDpi, suggested);
}

void FakeWindowSystem::arrangeZOrder(Form& form) { log.push_back("zorder " + form.name()); }

void FakeWindowSystem::destroy(WindowHandle handle) {
  if (!exists(handle)) return;
  Form* form = window(handle).form;
  log.push_back("destroy " + (form ? form->name() : std::string("control")));
  if (form && app) app->destroying(*form);
  for (auto it = windows_.begin(); it != windows_.end();) {
    // Children go with their window.
    WindowHandle p = it->second.parent;
    while (p && p != handle && exists(p)) p = windows_.at(p).parent;
    it = (p == handle) ? windows_.erase(it) : std::next(it);
  }
  windows_.erase(handle);
  timers_.erase(handle);
  if (form && app) app->destroyed(*form);
}

void FakeWindowSystem::postDestroy(WindowHandle handle) {
  log.push_back("post destroy");
  posted_.push_back([this, handle] {
    if (exists(handle) && window(handle).form && app) app->destroyRequested(*window(handle).form);
  });
}

void FakeWindowSystem::postQuit() {
  log.push_back("quit");
  quitPosted_ = true;
}

void FakeWindowSystem::move(WindowHandle handle, Rect rect) {
  FakeWindow& w = window(handle);
  w.rect = rect;
  ++w.moves;
}

void FakeWindowSystem::show(WindowHandle handle, ShowCommand command) {
  FakeWindow& w = window(handle);
  const std::string name = w.form ? w.form->name() : w.control ? w.control->name() : "?";
  switch (command) {
    case ShowCommand::Hide:
      w.visible = false;
      log.push_back("hide " + name);
      break;
    case ShowCommand::Show:
      w.visible = true;
      log.push_back("show " + name);
      break;
    case ShowCommand::Minimize:
      w.visible = w.minimized = true;
      log.push_back("minimize " + name);
      break;
    case ShowCommand::ShowNormal:
      w.visible = true;
      w.minimized = false;
      log.push_back("restore " + name);
      break;
  }
}

bool FakeWindowSystem::isVisible(WindowHandle handle) const {
  if (!exists(handle)) return false;
  // Like IsWindowVisible: a child shows only while every ancestor does.
  for (WindowHandle h = handle; h; h = window(h).parent)
    if (!window(h).visible) return false;
  return true;
}

void FakeWindowSystem::enable(WindowHandle handle, bool enabled) {
  window(handle).enabled = enabled;
}

void FakeWindowSystem::setTopmost(WindowHandle handle, bool topmost) {
  FakeWindow& w = window(handle);
  w.topmost = topmost;
  ++w.topmostWrites;
}

void FakeWindowSystem::bringForward(WindowHandle handle) {
  FakeWindow& w = window(handle);
  w.minimized = false;
  log.push_back("bring forward " + (w.form ? w.form->name() : std::string("?")));
}

void FakeWindowSystem::invalidate(WindowHandle handle, bool) { ++window(handle).invalidations; }

void FakeWindowSystem::setScrollRange(WindowHandle handle, int minimum, int maximum) {
  window(handle).scrollLow = minimum;
  window(handle).scrollHigh = maximum;
}

void FakeWindowSystem::setScrollPosition(WindowHandle handle, int position) {
  window(handle).scrollPosition = position;
}

void FakeWindowSystem::startTimer(WindowHandle owner, std::uintptr_t id, int periodMs) {
  window(owner).periodMs = periodMs;
  timers_[owner].push_back(id);
}

void FakeWindowSystem::stopTimer(WindowHandle owner, std::uintptr_t id) {
  auto it = timers_.find(owner);
  if (it != timers_.end()) std::erase(it->second, id);
}

void FakeWindowSystem::runLoop() {
  while (!quitPosted_ && !posted_.empty()) deliverPosted();
}

void FakeWindowSystem::fatal(std::string_view message) {
  atFatal.allocations = allocationsSoFar();  // first: nothing below may count
  atFatal.called = true;
  for (const auto& [handle, w] : windows_) atFatal.enabledForms += w.form && w.enabled;
  for (const auto& [handle, ids] : timers_) atFatal.runningTimers += static_cast<int>(ids.size());
  throw FatalError(std::string(message));
}

void FakeWindowSystem::close(Form& form) {
  if (app) app->closeRequested(form);
}

bool FakeWindowSystem::pressEscape(Form& focused, int keys) {
  if (!Application::escCloses(focused.definition(), keys)) return false;
  close(focused);
  return true;
}

void FakeWindowSystem::tick(Form& form) {
  auto it = timers_.find(form.handle());
  if (it == timers_.end()) return;
  const std::vector<std::uintptr_t> ids = it->second;
  for (std::uintptr_t id : ids)
    if (Timer* t = form.timer(id)) t->tick();
}

void FakeWindowSystem::deliverPosted() {
  while (!posted_.empty()) {
    auto message = std::move(posted_.front());
    posted_.pop_front();
    message();
  }
}

}  // namespace lsg::fake
