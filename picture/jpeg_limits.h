#pragma once

// The bounds of picture/decode.h applied to a libjpeg decompressor. The display decoder
// and the conversion's JPEG reader both go through these, so they accept the same
// pictures.

#include <cstdio>

#include <jpeglib.h>

namespace lsg {

// Must live as long as the decompressor it is handed to; trivially destructible, so it
// may sit beside the setjmp of the function that calls libjpeg.
struct JpegScanLimit {
  jpeg_progress_mgr progress;
};

// Right after jpeg_create_decompress: caps what libjpeg may allocate at
// kMaxJpegDecoderMemory (beyond it, libjpeg fails instead of allocating) and ends decoding
// through the error manager once a stream has more than kMaxJpegScans scans.
void limitJpegDecoder(jpeg_decompress_struct& info, JpegScanLimit& limit);

// After jpeg_read_header and before jpeg_start_decompress: true for a grey or colour
// picture (1 or 3 components) of at most kMaxPicturePixels pixels.
bool jpegHeaderAccepted(const jpeg_decompress_struct& info);

}  // namespace lsg
