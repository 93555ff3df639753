#include "save/decoded_image.h"

#include <new>

namespace lsg {

bool allocateImage(ConversionImage& image, std::uint64_t width, std::uint64_t height,
                   int components) noexcept {
  image = ConversionImage{};
  if (width == 0 || height == 0 || width > kMaxImageSide || height > kMaxImageSide) return false;
  if (components != 1 && components != 3) return false;
  // Both sides are at most 65500, so the products cannot overflow 64 bits.
  if (width * height > kMaxPicturePixels) return false;
  const std::uint64_t bytes = width * height * static_cast<std::uint64_t>(components);
  // Not value-initialised: every byte is overwritten by the decoder.
  image.pixels.reset(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(bytes)]);
  if (!image.pixels) return false;
  image.width = static_cast<int>(width);
  image.height = static_cast<int>(height);
  image.components = components;
  return true;
}

}  // namespace lsg
