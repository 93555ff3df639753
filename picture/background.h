#pragma once

#include <memory>

#include "picture/decode.h"
#include "picture/picture.h"

namespace lsg {

// The background picture of a canvas or a window: its own copy of the bytes (shared, as
// every Picture copy is), the decoded picture made on first need and dropped on every
// assignment, and the picture mode (clamped by kind). The background colour is not here: it
// is the definition's, which the paint reads. Invalidating and painting belong to the
// control; this holds the state they work from.
class BackgroundPicture {
 public:
  enum class Kind { Canvas, Window };

  explicit BackgroundPicture(Kind kind) : kind_(kind) {}

  // Replaces the bytes (the empty Picture leaves none) and drops the decoded picture, even
  // when the bytes are the same; the control then invalidates its whole client area.
  void assign(const Picture& picture);
  void assign(Picture&& picture);

  Picture read() const { return bytes_; }  // a copy that the reader owns
  bool hasBytes() const { return !bytes_.empty(); }

  // Stores the mode clamped for the kind (0..2 for a canvas, 0..3 for a window) and says
  // whether the stored value changed. A canvas repaints exactly when it did; a window
  // repaints on every write while it holds bytes (hasBytes()), changed or not.
  bool setMode(int mode);
  int mode() const { return mode_; }

  // The picture to draw, decoded on first need (or taken from another control that shows
  // the same Picture); nullptr when there is nothing to draw.
  // A canvas whose bytes fail to decode discards them (read() is empty from then on); a
  // window keeps them and tries again on the next call.
  const DecodedImage* decoded();

 private:
  Kind kind_;
  Picture bytes_;
  std::shared_ptr<const DecodedImage> decoded_;
  int mode_ = 0;
};

}  // namespace lsg
