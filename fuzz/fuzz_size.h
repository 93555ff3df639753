#pragma once

// The size a picture's headers claim, read without decoding, so that a fuzz target can
// leave out pictures that are legal but large: decoding one takes milliseconds, which
// would cut the executions a run reaches by a hundredfold, and large legal pictures are
// the unit tests' to cover.

#include <cstdint>
#include <cstdio>
#include <span>

#include <csetjmp>

#include "picture/jpeg_errors.h"

namespace lsg::fuzz {

// Pictures of up to this many pixels (64 x 64) are decoded in full; the code paths that
// depend on a size depend on it modulo the block and sample sizes, which this covers.
inline constexpr std::uint64_t kMaxFuzzPixels = std::uint64_t{1} << 12;

// width x height from a JPEG's frame header; 0 when libjpeg cannot read the header.
inline std::uint64_t jpegHeaderPixels(std::span<const std::uint8_t> bytes) {
  jpeg_decompress_struct info;
  JpegErrorManager errors;
  info.err = useJpegErrorManager(errors);
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&info);
    return 0;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
  std::uint64_t pixels = 0;
  if (jpeg_read_header(&info, TRUE) == JPEG_HEADER_OK) {
    pixels = std::uint64_t{info.image_width} * info.image_height;
  }
  jpeg_destroy_decompress(&info);
  return pixels;
}

inline bool isJpeg(std::span<const std::uint8_t> bytes) {
  return bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xD8;
}

// True for a JPEG that is legal for the program but larger than a fuzz run decodes;
// one beyond the program's own limit is kept, since its refusal is cheap and must hold.
inline bool largeLegalJpeg(std::span<const std::uint8_t> bytes, std::uint64_t programLimit) {
  if (!isJpeg(bytes)) return false;
  const std::uint64_t pixels = jpegHeaderPixels(bytes);
  return pixels > kMaxFuzzPixels && pixels <= programLimit;
}

}  // namespace lsg::fuzz
