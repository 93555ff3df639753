#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "picture/picture.h"
#include "ui/window_system.h"

namespace lsg {

// The state the capture modes share across their handlers, for the whole run.
struct SharedState {
  WindowHandle pickedWindow = 0;
  // Left, top, right, bottom as the platform fills it; a tick rewrites the last two in
  // place as width and height.
  std::array<std::int32_t, 4> pickRect{};
  std::optional<Picture> frozenScreen;
  std::int32_t dragging = 0;
  std::array<std::int32_t, 2> dragAnchor{};
  int releases = 0;  // how often releaseSharedState ran
};

void initSharedState(SharedState& state);
// Runs once, at normal termination only.
void releaseSharedState(SharedState& state);

}  // namespace lsg
