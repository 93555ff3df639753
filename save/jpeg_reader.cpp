#include <cstdio>
#include <memory>

#include "picture/jpeg_errors.h"
#include "picture/jpeg_limits.h"
#include "save/file_io.h"
#include "save/image_readers.h"

namespace lsg {
namespace {

// The setjmp and every libjpeg call of the reader; only trivially destructible locals.
bool readJpegSource(std::FILE* file, ConversionImage& image) {
  jpeg_decompress_struct info{};
  JpegErrorManager errors{};
  JpegScanLimit scanLimit{};
  info.err = useJpegErrorManager(errors);
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  limitJpegDecoder(info, scanLimit);
  jpeg_stdio_src(&info, file);
  // Sizes and colours are checked before libjpeg allocates for the picture; a
  // progressive stream is read to its end in jpeg_start_decompress, within the memory
  // and scan limits, before the image is allocated.
  if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK || !jpegHeaderAccepted(info)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_start_decompress(&info);
  const int components = info.output_components;
  if ((components != 1 && components != 3) ||
      !allocateImage(image, info.output_width, info.output_height, components)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = image.row(info.output_scanline);
    if (jpeg_read_scanlines(&info, &row, 1) != 1) {
      jpeg_destroy_decompress(&info);
      return false;
    }
  }
  jpeg_destroy_decompress(&info);
  return true;
}

}  // namespace

bool readJpegFile(const std::string& path, ConversionImage& image) {
  image = ConversionImage{};
  UniqueFile file(openFile(path, "rb"));
  if (!file) return false;
  unsigned char signature[2];
  if (std::fread(signature, 1, 2, file.get()) != 2 || signature[0] != 0xFF ||
      signature[1] != 0xD8) {
    return false;
  }
  std::rewind(file.get());
  if (readJpegSource(file.get(), image)) return true;
  image = ConversionImage{};
  return false;
}

}  // namespace lsg
