#pragma once

#include <string>

#include "save/decoded_image.h"

namespace lsg {

struct JpegSettings {
  bool grayscale = false;
  int quality = 80;  // 1..100
  bool optimize = true;
  int smoothing = 0;  // 0..100
};

// Writes `image` to `target` as a baseline JFIF JPEG: 1.01, density unit 0 at 1 x 1,
// accurate integer DCT, quantisation tables scaled for the quality and limited to
// 255. A colour picture becomes a greyscale one with the luma weights of JPEG's own
// Y (0.299 R + 0.587 G + 0.114 B), and a grey one a colour one by repeating the
// grey. The target is replaced only when the whole stream was written; false, with
// the target as it was, otherwise (also for an empty image).
bool writeJpegFile(const std::string& target, const ConversionImage& image,
                   const JpegSettings& settings);

}  // namespace lsg
