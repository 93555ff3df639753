#include "app/picture_view.h"

#include "picture/decode.h"

namespace lsg {

void fitCanvasToPicture(Application& app) {
  Form& 主窗口 = app.form("主窗口");
  Canvas& 画板1 = 主窗口.canvas("画板1");
  ShapeBox& 内背景 = 主窗口.shapeBox("内背景");
  ScrollBar& 横向滚动条 = 主窗口.scrollBar("横向滚动条");
  ScrollBar& 纵向滚动条 = 主窗口.scrollBar("纵向滚动条");

  // Measured once: for a JPEG, measuring means a full decoding pass.
  const Size size = measurePicture(画板1.picture().bytes()).value_or(Size{});
  const int w = size.width;
  const int h = size.height;
  // As the platform has it now: on a scaled display the viewport is larger than its
  // definition, while the picture keeps its physical pixels.
  const Size viewport = app.windows().clientSize(内背景.handle());

  if (h > viewport.height) {
    纵向滚动条.setPosition(1);
    纵向滚动条.setMaximum(h - viewport.height);
    纵向滚动条.setEnabled(true);
  } else {
    纵向滚动条.setEnabled(false);
  }
  if (w > viewport.width) {
    横向滚动条.setPosition(1);
    横向滚动条.setMaximum(w - viewport.width);
    横向滚动条.setEnabled(true);
  } else {
    横向滚动条.setEnabled(false);
  }
  画板1.move({0, 0, w, h});
}

void viewportResized(Application& app) {
  Canvas& 画板1 = app.form("主窗口").canvas("画板1");
  // Still at its start-up place: laid out with the other controls, nothing to fit.
  if (画板1.atLayoutPlace()) return;
  // Cleared: the view stays white and its scroll bars greyed until the next capture.
  if (画板1.rect().width == 0 && 画板1.rect().height == 0) return;
  fitCanvasToPicture(app);
}

void scrollViewHorizontally(Application& app) {
  Form& 主窗口 = app.form("主窗口");
  主窗口.canvas("画板1").setLeft(-主窗口.scrollBar("横向滚动条").position());
}

void scrollViewVertically(Application& app) {
  Form& 主窗口 = app.form("主窗口");
  主窗口.canvas("画板1").setTop(-主窗口.scrollBar("纵向滚动条").position());
}

void clearView(Application& app) {
  Form& 主窗口 = app.form("主窗口");
  Canvas& 画板1 = 主窗口.canvas("画板1");
  画板1.move({0, 0, 0, 0});
  画板1.clear();
  主窗口.scrollBar("横向滚动条").setEnabled(false);
  主窗口.scrollBar("纵向滚动条").setEnabled(false);
}

}  // namespace lsg
