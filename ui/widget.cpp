#include "ui/widget.h"

namespace lsg {

void Widget::move(const Move& move) {
  const Rect next = applyMove(rect_, move);
  if (next == rect_) return;
  rect_ = next;
  if (handle_) windows_.move(handle_, next);
}

bool Widget::visible() const { return handle_ && windows_.isVisible(handle_); }

void Widget::setVisible(bool visible) {
  if (handle_) windows_.show(handle_, visible ? ShowCommand::Show : ShowCommand::Hide);
}

void Widget::setEnabled(bool enabled) {
  enabled_ = enabled;
  if (handle_) windows_.enable(handle_, enabled);
}

}  // namespace lsg
