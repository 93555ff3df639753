#include "save/jpeg_writer.h"

#include <cstdint>
#include <vector>

#include "picture/jpeg_errors.h"
#include "save/file_io.h"

namespace lsg {
namespace {

// Rows handed to libjpeg per call: one pass of its 4:2:0 main buffer (two 8-row blocks).
constexpr JDIMENSION kRowsPerCall = 16;

// The same fixed-point weights and rounding as libjpeg's RGB to Y conversion.
void colourRowToGrey(const std::uint8_t* colour, std::uint8_t* grey, int width, PixelOrder order) {
  const int r = order == PixelOrder::Rgb ? 0 : 2;
  const int b = 2 - r;
  for (int x = 0; x < width; ++x, colour += 3) {
    grey[x] = static_cast<std::uint8_t>(
        (19595u * colour[r] + 38470u * colour[1] + 7471u * colour[b] + 32768u) >> 16);
  }
}

void greyRowToRgb(const std::uint8_t* grey, std::uint8_t* rgb, int width) {
  for (int x = 0; x < width; ++x, rgb += 3) rgb[0] = rgb[1] = rgb[2] = grey[x];
}

// Up to kRowsPerCall input rows from `y` as the encoder wants them: the image's own rows
// when the depth matches (wherever and in whichever order they lie in memory), else
// converted into `converted` (kRowsPerCall rows, allocated by the caller). Gives the count.
JDIMENSION inputRows(const ConversionImage& image, int outputComponents, JDIMENSION y,
                     std::uint8_t* converted, JSAMPROW* rows) {
  const JDIMENSION left = static_cast<JDIMENSION>(image.height) - y;
  const JDIMENSION count = left < kRowsPerCall ? left : kRowsPerCall;
  const std::size_t convertedBytes = static_cast<std::size_t>(image.width) * outputComponents;
  for (JDIMENSION i = 0; i < count; ++i) {
    const std::uint8_t* row = image.row(y + i);
    if (image.components == outputComponents) {
      rows[i] = const_cast<JSAMPROW>(row);
      continue;
    }
    rows[i] = converted + i * convertedBytes;
    if (outputComponents == 1) {
      colourRowToGrey(row, rows[i], image.width, image.order);
    } else {
      greyRowToRgb(row, rows[i], image.width);
    }
  }
  return count;
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
  // A colour source is read in its own byte order, so B, G, R rows need no swap first.
  const bool bgr = image.components == 3 && image.order == PixelOrder::Bgr;
  info.in_color_space = settings.grayscale ? JCS_GRAYSCALE : bgr ? JCS_EXT_BGR : JCS_RGB;
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
  JSAMPROW rows[kRowsPerCall];
  while (info.next_scanline < info.image_height) {
    const JDIMENSION count =
        inputRows(image, info.input_components, info.next_scanline, converted, rows);
    jpeg_write_scanlines(&info, rows, count);
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
    converted.resize(static_cast<std::size_t>(image.width) * 3 * kRowsPerCall);
  }
  ReplacementFile out;
  if (!out.open(target).ok) return false;
  if (!encodeJpeg(out.file(), image, settings, converted.data())) return false;
  return out.commit().ok;
}

}  // namespace lsg
