#pragma once

// The readers that convertToJpeg tries in turn. Each opens the file itself and, when it
// declines or fails, leaves `image` empty.

#include <string>

#include "save/decoded_image.h"

namespace lsg {

// A JPEG stream (FF D8) decoded with libjpeg's defaults into 3 or 1 components.
bool readJpegFile(const std::string& path, ConversionImage& image);

// An uncompressed 24-bit BMP file ("BM" or "BA"; core or info header; bottom-up or
// top-down) into R, G, B rows from the top.
bool readBmpFile(const std::string& path, ConversionImage& image);

}  // namespace lsg
