#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "picture/decode.h"

namespace lsg {

// The largest side a JPEG can hold. A source beyond it, or beyond the pixels the program
// shows (kMaxPicturePixels), is refused before anything is allocated, so the conversion
// never writes a picture the program refuses to show.
inline constexpr std::uint64_t kMaxImageSide = 65500;

// A picture decoded for one conversion: rows from the top, each pixel R, G, B
// (3 components) or one grey byte (1 component), rows packed without padding.
struct ConversionImage {
  int width = 0;
  int height = 0;
  int components = 0;
  std::unique_ptr<std::uint8_t[]> pixels;

  std::size_t rowBytes() const {
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(components);
  }
  std::uint8_t* row(std::size_t y) { return pixels.get() + y * rowBytes(); }
  const std::uint8_t* row(std::size_t y) const { return pixels.get() + y * rowBytes(); }
};

// Gives `image` uninitialised pixels for the size; false, leaving it empty, when a
// side is 0 or beyond the bounds above or memory is short. Never throws, so it is safe
// to call between setjmp and libjpeg calls.
bool allocateImage(ConversionImage& image, std::uint64_t width, std::uint64_t height,
                   int components) noexcept;

}  // namespace lsg
