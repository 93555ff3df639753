#pragma once

#include <optional>

#include "picture/geometry.h"

namespace lsg {

// A move as handlers write it: an omitted value keeps the current one.
struct Move {
  std::optional<int> left;
  std::optional<int> top;
  std::optional<int> width;
  std::optional<int> height;
};

// A move that gives all four values.
inline Move toMove(const Rect& r) { return {r.left, r.top, r.width, r.height}; }

// Left and top are clamped to this, not to the 16-bit limit.
inline constexpr int kMaxCoordinate = 32627;

// The rectangle a move leads to: omitted values and a size of -1 keep the current one, any
// other negative size empties the window (as MoveWindow treats it), left and top are clamped.
Rect applyMove(const Rect& current, const Move& move);

}  // namespace lsg
