#pragma once

#include <optional>

namespace lsg {

enum class ScrollAction {
  LineUp,
  LineDown,
  PageUp,
  PageDown,
  ThumbPosition,
  ThumbTrack,
  Top,
  Bottom,
  EndScroll
};

// The numbers behind a scroll bar, apart from any window: range, stored position, steps,
// and what a user action does to them.
class ScrollModel {
 public:
  static constexpr int kLimit = 32767;

  void setMinimum(int value);
  void setMaximum(int value);
  // Clamped to 0..32767 but not to the range: the thumb shows the clamped value.
  void setPosition(int value);
  void setPageStep(int value);
  void setLineStep(int value);
  void setThumbTracking(bool on) { thumbTracking_ = on; }

  int minimum() const { return minimum_; }
  int maximum() const { return maximum_; }
  int position() const { return position_; }
  int low() const { return minimum_ < maximum_ ? minimum_ : maximum_; }
  int high() const { return minimum_ < maximum_ ? maximum_ : minimum_; }
  int thumbPosition() const;

  // Applies a user action; the new position when it changed, nullopt when nothing happens.
  std::optional<int> act(ScrollAction action, int thumb);

 private:
  int minimum_ = 0;
  int maximum_ = 100;
  int position_ = 0;
  int pageStep_ = 1;
  int lineStep_ = 1;
  bool thumbTracking_ = true;
};

}  // namespace lsg
