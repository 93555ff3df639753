#include "picture/jpeg_limits.h"

#include <cstdint>

#include "picture/decode.h"

namespace lsg {

namespace {

void stopAfterTooManyScans(j_common_ptr common) {
  if (!common->is_decompressor) return;
  const auto* info = reinterpret_cast<j_decompress_ptr>(common);
  if (info->input_scan_number <= kMaxJpegScans) return;
  // Any code will do: the program's error managers never show libjpeg's messages.
  common->err->msg_code = 0;
  common->err->error_exit(common);
}

}  // namespace

void limitJpegDecoder(jpeg_decompress_struct& info, JpegScanLimit& limit) {
  info.mem->max_memory_to_use = kMaxJpegDecoderMemory;
  limit.progress = {};
  limit.progress.progress_monitor = stopAfterTooManyScans;
  info.progress = &limit.progress;
}

bool jpegHeaderAccepted(const jpeg_decompress_struct& info) {
  // libjpeg turns YCbCr and RGB into RGB and keeps grey; it would hand CMYK, YCCK and
  // unknown colour spaces through as they are, which this program cannot show.
  const bool colours = (info.out_color_space == JCS_GRAYSCALE && info.num_components == 1) ||
                       (info.out_color_space == JCS_RGB && info.num_components == 3);
  return colours && info.image_width > 0 && info.image_height > 0 &&
         std::uint64_t{info.image_width} * info.image_height <= kMaxPicturePixels;
}

}  // namespace lsg
