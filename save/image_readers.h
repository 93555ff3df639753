#pragma once

// The readers that convertToJpeg tries in turn. Each opens the file itself and, when it
// declines or fails, leaves `image` empty.

#include <string>

#include "save/decoded_image.h"

namespace lsg {

// A JPEG stream (FF D8) decoded with libjpeg's defaults into 3 or 1 components.
bool readJpegFile(const std::string& path, ConversionImage& image);

// An uncompressed 24-bit BMP file ("BM" or "BA"; core or info header; bottom-up or
// top-down) of at most kMaxPicturePixels, read whole in one read. With PixelOrder::Bgr
// the image's rows are the file's own bytes where they lie, nothing copied or swapped;
// with PixelOrder::Rgb each pixel's bytes are swapped in place.
bool readBmpFile(const std::string& path, ConversionImage& image,
                 PixelOrder order = PixelOrder::Rgb);

}  // namespace lsg
