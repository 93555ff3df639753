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

// The order of a colour pixel's three bytes.
enum class PixelOrder { Rgb, Bgr };

// A picture decoded for one conversion: rows from the top, each pixel three bytes in
// `order` (3 components) or one grey byte (1 component). `pixels` owns the memory; the
// rows need not be packed nor lie top-down in it: row y starts at first + y x stride, so
// a BMP file's own bytes serve as the image, bottom-up rows and padding included.
struct ConversionImage {
  int width = 0;
  int height = 0;
  int components = 0;
  PixelOrder order = PixelOrder::Rgb;
  std::unique_ptr<std::uint8_t[]> pixels;
  std::uint8_t* first = nullptr;  // the top row
  std::ptrdiff_t stride = 0;      // from one row to the one below it; negative for bottom-up

  // The bytes of a row's pixels, without padding.
  std::size_t rowBytes() const {
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(components);
  }
  std::uint8_t* row(std::size_t y) { return first + static_cast<std::ptrdiff_t>(y) * stride; }
  const std::uint8_t* row(std::size_t y) const {
    return first + static_cast<std::ptrdiff_t>(y) * stride;
  }
};

// Gives `image` uninitialised, packed, top-down R, G, B or grey pixels for the size; false, leaving
// it empty, when a side is 0 or beyond the bounds above or memory is short. Never throws, so it is
// safe to call between setjmp and libjpeg calls.
bool allocateImage(ConversionImage& image, std::uint64_t width, std::uint64_t height,
                   int components) noexcept;

}  // namespace lsg
