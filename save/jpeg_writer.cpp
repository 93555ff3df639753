#include "save/jpeg_writer.h"

#include <cstdint>
#include <vector>

#include "save/file_io.h"
#include "save/jpeg_errors.h"

namespace lsg {
namespace {

// The same fixed-point weights and rounding as libjpeg's RGB to Y conversion.
void rgbRowToGrey(const std::uint8_t* rgb, std::uint8_t* grey, int width) {
  for (int x = 0; x < width; ++x, rgb += 3) {
    grey[x] = static_cast<std::uint8_t>(
        (19595u * rgb[0] + 38470u * rgb[1] + 7471u * rgb[2] + 32768u) >> 16);
  }
}

void greyRowToRgb(const std::uint8_t* grey, std::uint8_t* rgb, int width) {
  for (int x = 0; x < width; ++x, rgb += 3) rgb[0] = rgb[1] = rgb[2] = grey[x];
}

// One input row as the encoder wants it: the image's own row when the depth matches,
// else converted into `converted` (one row, allocated by the caller).
JSAMPROW inputRow(const ConversionImage& image, int outputComponents, JDIMENSION y,
                  std::uint8_t* converted) {
  const std::uint8_t* row = image.row(y);
  if (image.components == outputComponents) return const_cast<JSAMPROW>(row);
  if (outputComponents == 1) {
    rgbRowToGrey(row, converted, image.width);
  } else {
    greyRowToRgb(row, converted, image.width);
  }
  return converted;
}

// The setjmp and every libjpeg call of the writer; only trivially destructible locals.
bool encodeJpeg(std::FILE* out, const ConversionImage& image, const JpegSettings& settings,
                std::uint8_t* converted) {
  jpeg_compress_struct info{};
  JpegErrorManager errors{};
  info.err = useJpegErrorManager(errors);
  if (setjmp(errors.jump)) {
    jpeg_destroy_compress(&info);
    return false;
  }
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, out);
  info.image_width = static_cast<JDIMENSION>(image.width);
  info.image_height = static_cast<JDIMENSION>(image.height);
  info.input_components = settings.grayscale ? 1 : 3;
  info.in_color_space = settings.grayscale ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&info);
  info.optimize_coding = settings.optimize ? TRUE : FALSE;
  info.smoothing_factor = settings.smoothing;
  jpeg_set_quality(&info, settings.quality, TRUE);
  // What jpeg_set_defaults gives in this library, stated so that a library built with
  // another default cannot change the file.
  info.dct_method = JDCT_ISLOW;
  info.write_JFIF_header = TRUE;
  info.JFIF_major_version = 1;
  info.JFIF_minor_version = 1;
  info.density_unit = 0;
  info.X_density = 1;
  info.Y_density = 1;
  info.restart_interval = 0;
  info.restart_in_rows = 0;
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = inputRow(image, info.input_components, info.next_scanline, converted);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return true;
}

}  // namespace

bool writeJpegFile(const std::string& target, const ConversionImage& image,
                   const JpegSettings& settings) {
  if (image.width < 1 || image.height < 1 || !image.pixels) return false;
  const int outputComponents = settings.grayscale ? 1 : 3;
  std::vector<std::uint8_t> converted;
  if (image.components != outputComponents) {
    converted.resize(static_cast<std::size_t>(image.width) * 3);
  }
  ReplacementFile out;
  if (!out.open(target).ok) return false;
  if (!encodeJpeg(out.file(), image, settings, converted.data())) return false;
  return out.commit().ok;
}

}  // namespace lsg
