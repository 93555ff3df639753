#pragma once

// The peer every conversion figure is measured against: libjpeg alone encoding B, G, R
// rows into memory with the program's settings (quality 80, optimised Huffman tables, the
// accurate integer DCT, no smoothing), none of the program's own reading or writing.
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace lsg::bench {

// The encoded bytes, which the caller frees with std::free; `size` receives their count.
inline unsigned char* encodePeer(JSAMPROW* rows, JDIMENSION width, JDIMENSION height,
                                 unsigned long& size) {
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* jpeg = nullptr;
  size = 0;
  jpeg_mem_dest(&info, &jpeg, &size);
  info.image_width = width;
  info.image_height = height;
  info.input_components = 3;
  info.in_color_space = JCS_EXT_BGR;
  jpeg_set_defaults(&info);
  info.optimize_coding = TRUE;
  info.smoothing_factor = 0;
  info.dct_method = JDCT_ISLOW;
  jpeg_set_quality(&info, 80, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    jpeg_write_scanlines(&info, rows + info.next_scanline, info.image_height - info.next_scanline);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return jpeg;
}

}  // namespace lsg::bench
