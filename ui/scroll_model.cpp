#include "ui/scroll_model.h"

#include <algorithm>

namespace lsg {

void ScrollModel::setMinimum(int value) { minimum_ = std::clamp(value, 0, kLimit); }
void ScrollModel::setMaximum(int value) { maximum_ = std::clamp(value, 0, kLimit); }
void ScrollModel::setPosition(int value) { position_ = std::clamp(value, 0, kLimit); }
void ScrollModel::setPageStep(int value) { pageStep_ = std::clamp(value, 1, kLimit); }
void ScrollModel::setLineStep(int value) { lineStep_ = std::clamp(value, 1, kLimit); }

int ScrollModel::thumbPosition() const { return std::clamp(position_, low(), high()); }

std::optional<int> ScrollModel::act(ScrollAction action, int thumb) {
  int next = position_;
  switch (action) {
    case ScrollAction::LineUp:
      next -= lineStep_;
      break;
    case ScrollAction::LineDown:
      next += lineStep_;
      break;
    case ScrollAction::PageUp:
      next -= pageStep_;
      break;
    case ScrollAction::PageDown:
      next += pageStep_;
      break;
    case ScrollAction::ThumbPosition:
      next = thumb;
      break;
    case ScrollAction::ThumbTrack:
      if (!thumbTracking_) return std::nullopt;
      next = thumb;
      break;
    case ScrollAction::Top:
      next = minimum_;
      break;
    case ScrollAction::Bottom:
      next = maximum_;
      break;
    case ScrollAction::EndScroll:
      return std::nullopt;
  }
  next = std::clamp(next, low(), high());
  if (next == position_) return std::nullopt;
  position_ = next;
  return next;
}

}  // namespace lsg
