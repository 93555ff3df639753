// Decoding and measuring a picture from arbitrary bytes: no memory fault, no undefined
// behaviour, and measuring agrees with decoding.

#include <cstdint>
#include <cstdlib>
#include <span>

#include "fuzz_size.h"
#include "picture/decode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  if (lsg::fuzz::largeLegalJpeg(bytes, lsg::kMaxPicturePixels)) return -1;
  const auto size_ = lsg::measurePicture(bytes);
  const auto image = lsg::decodePicture(bytes);
  if (image.has_value() != size_.has_value()) std::abort();
  if (image) {
    if (size_->width != image->width || size_->height != image->height) std::abort();
    if (image->pixels.size() != static_cast<std::size_t>(image->width) * image->height) {
      std::abort();
    }
    for (const std::uint32_t pixel : image->pixels) {
      if (pixel >> 24 != 0) std::abort();  // the unused byte of a DIB word stays clear
    }
  }
  return 0;
}
