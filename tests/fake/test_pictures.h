#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "picture/picture.h"

namespace lsg::fake {

// A 24-bit bottom-up BMP of the given size, as a snapshot would be, every pixel byte
// `fill`: black unless told.
inline Picture blankBmp(int width, int height, std::uint8_t fill = 0) {
  const std::uint32_t stride = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
  const std::uint32_t image = stride * static_cast<std::uint32_t>(height);
  std::vector<std::uint8_t> b(54 + image, 0);
  const std::uint32_t used = static_cast<std::uint32_t>(width) * 3;
  for (std::uint32_t row = 0; row < static_cast<std::uint32_t>(height); ++row)
    std::fill_n(b.begin() + 54 + row * stride, used, fill);
  auto put = [&b](std::size_t at, std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  b[0] = 'B';
  b[1] = 'M';
  put(2, 54 + image, 4);
  put(10, 54, 4);
  put(14, 40, 4);
  put(18, static_cast<std::uint32_t>(width), 4);
  put(22, static_cast<std::uint32_t>(height), 4);
  put(26, 1, 2);
  put(28, 24, 2);
  put(34, image, 4);
  return Picture(std::move(b));
}

}  // namespace lsg::fake
