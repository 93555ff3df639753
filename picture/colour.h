#pragma once

#include <cstdint>

namespace lsg {

struct Colour {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend bool operator==(const Colour&, const Colour&) = default;
};

inline constexpr Colour kWhite{255, 255, 255};
inline constexpr Colour kRed{255, 0, 0};

}  // namespace lsg
