#include "ui/dpi.h"

#include <cstdint>

namespace lsg {

int scaleToDpi(int value, int dpi) {
  if (dpi == kLayoutDpi || dpi <= 0) return value;
  const std::int64_t product = static_cast<std::int64_t>(value) * dpi;
  const std::int64_t half = kLayoutDpi / 2;
  const std::int64_t rounded =
      product >= 0 ? (product + half) / kLayoutDpi : -((-product + half) / kLayoutDpi);
  return static_cast<int>(rounded);
}

Size scaleToDpi(Size size, int dpi) {
  return {scaleToDpi(size.width, dpi), scaleToDpi(size.height, dpi)};
}

Rect scaleToDpi(Rect rect, int dpi) {
  return {scaleToDpi(rect.left, dpi), scaleToDpi(rect.top, dpi), scaleToDpi(rect.width, dpi),
          scaleToDpi(rect.height, dpi)};
}

}  // namespace lsg
