#pragma once

// Plain geometry for the core; converted to and from RECT only in platform/win32.

namespace lsg {

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
  int width = 0;
  int height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

// Left, top, width and height, as the window definitions and moves give them.
struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  int right() const { return left + width; }   // exclusive
  int bottom() const { return top + height; }  // exclusive
  bool empty() const { return width <= 0 || height <= 0; }
  bool contains(Point p) const {
    return p.x >= left && p.x < right() && p.y >= top && p.y < bottom();
  }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// The overlap of two rectangles; empty (0 x 0) when they do not meet.
inline Rect intersect(const Rect& a, const Rect& b) {
  const int l = a.left > b.left ? a.left : b.left;
  const int t = a.top > b.top ? a.top : b.top;
  const int r = a.right() < b.right() ? a.right() : b.right();
  const int btm = a.bottom() < b.bottom() ? a.bottom() : b.bottom();
  if (r <= l || btm <= t) return {};
  return {l, t, r - l, btm - t};
}

}  // namespace lsg
