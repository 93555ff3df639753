#include "ui/move.h"

#include <algorithm>

namespace lsg {

namespace {

int coordinate(std::optional<int> value, int current) {
  return value ? std::clamp(*value, -kMaxCoordinate, kMaxCoordinate) : current;
}

int extent(std::optional<int> value, int current) {
  if (!value || *value == -1) return current;
  return *value < 0 ? 0 : *value;
}

}  // namespace

Rect applyMove(const Rect& current, const Move& move) {
  return {coordinate(move.left, current.left), coordinate(move.top, current.top),
          extent(move.width, current.width), extent(move.height, current.height)};
}

}  // namespace lsg
