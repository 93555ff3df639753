#pragma once

#include <cstdint>
#include <vector>

#include "picture/picture.h"

namespace lsg::fake {

// A black 24-bit bottom-up BMP of the given size, as a snapshot would be.
inline Picture blankBmp(int width, int height) {
  const std::uint32_t stride = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
  const std::uint32_t image = stride * static_cast<std::uint32_t>(height);
  std::vector<std::uint8_t> b(54 + image, 0);
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
