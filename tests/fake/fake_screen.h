#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "capture/screen.h"

namespace lsg::fake {

// The screen in memory: the test sets the pointer, what lies under it and what a snapshot
// of each window gives.
class FakeScreen : public Screen {
 public:
  Size size{1024, 768};
  Point cursor;
  WindowHandle under = 0;
  std::map<WindowHandle, Rect> rects;
  std::map<WindowHandle, Picture> pictures;  // window 0: the whole screen
  std::vector<WindowHandle> snapshots;       // in the order they were taken
  int settles = 0;
  // Optional: the platform's hit test (e.g. one that skips hidden windows), the outer
  // rectangle of windows not in `rects`, and a look at the program while a snapshot is taken.
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
  Picture takeSnapshot(WindowHandle window) override {
    if (onSnapshot) onSnapshot(window);
    snapshots.push_back(window);
    auto it = pictures.find(window);
    return it == pictures.end() ? Picture() : it->second;
  }
  void settle() override { ++settles; }
};

}  // namespace lsg::fake
