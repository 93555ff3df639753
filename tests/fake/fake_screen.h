#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "capture/bmp.h"
#include "capture/screen.h"

namespace lsg::fake {

// The screen in memory: the test sets the pointer, what lies under it and what a copy from
// each window's device context and from the screen gives.
class FakeScreen : public Screen {
 public:
  Size size{1024, 768};
  Point cursor;
  WindowHandle under = 0;
  std::map<WindowHandle, Rect> rects;
  // Where a compositor reports a top-level window's visible edges.
  std::map<WindowHandle, Rect> visible;
  std::set<WindowHandle> hidden;
  // What each window's device context holds over its whole outer rectangle; a copy gives
  // the part asked for. Window 0 is the screen, which a screen copy crops.
  std::map<WindowHandle, Picture> pictures;
  std::vector<WindowHandle> snapshots;  // the copies, in the order they were taken; 0: screen
  std::vector<Rect> copied;             // the area of each copy, alike
  int settles = 0;
  // Optional: the platform's hit test (e.g. one that skips hidden windows), the outer
  // rectangle of windows not in `rects`, and a look at the program while a copy is taken.
  std::function<WindowHandle(Point)> hitTest;
  std::function<std::optional<Rect>(WindowHandle)> rectOf;
  std::function<void(WindowHandle)> onSnapshot;

  int screenWidth() const override { return size.width; }
  int screenHeight() const override { return size.height; }
  int cursorX() const override { return cursor.x; }
  int cursorY() const override { return cursor.y; }
  WindowHandle windowFromPoint(Point point) const override {
    return hitTest ? hitTest(point) : under;
  }
  std::optional<Rect> windowRect(WindowHandle window) const override {
    auto it = rects.find(window);
    if (it != rects.end()) return it->second;
    return rectOf ? rectOf(window) : std::nullopt;
  }
  std::optional<Rect> visibleBounds(WindowHandle window) const override {
    auto it = visible.find(window);
    return it == visible.end() ? std::nullopt : std::optional<Rect>(it->second);
  }
  bool isWindowVisible(WindowHandle window) const override { return !hidden.count(window); }
  Picture copyFromWindow(WindowHandle window, Rect area) override { return copy(window, area); }
  Picture copyFromScreen(Rect area) override { return copy(0, area); }
  void settle() override { ++settles; }

 private:
  Picture copy(WindowHandle source, Rect area) {
    if (onSnapshot) onSnapshot(source);
    snapshots.push_back(source);
    copied.push_back(area);
    auto it = pictures.find(source);
    if (it == pictures.end()) return Picture();
    // The whole of it as it stands, else the part asked for.
    const std::optional<Rect> whole =
        source ? windowRect(source) : std::optional<Rect>(Rect{0, 0, size.width, size.height});
    if (whole && area == Rect{source ? 0 : whole->left, source ? 0 : whole->top, whole->width,
                              whole->height}) {
      return it->second;
    }
    return cropSnapshot(it->second, area);
  }
};

}  // namespace lsg::fake
