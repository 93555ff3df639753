#include "save/convert_jpeg.h"

#include "save/file_io.h"
#include "save/image_readers.h"
#include "save/jpeg_writer.h"

namespace lsg {

int convertToJpeg(const std::string& source, const std::string& target, bool grayscale, int quality,
                  bool optimize, int smoothing) {
  if (source.empty() || target.empty() || quality < 1 || quality > 100 || smoothing < 0 ||
      smoothing > 100) {
    return kJpegBadParameter;
  }
  if (!fileExists(source)) return kJpegSourceMissing;
  // TIFF, PNG, PCX and Photo CD sources are not read: this program only ever hands
  // over a JPEG stream, a 24-bit BMP file or an empty file.
  ConversionImage image;
  if (!readJpegFile(source, image) && !readBmpFile(source, image, PixelOrder::Bgr))
    return kJpegSourceUnreadable;
  const JpegSettings settings{grayscale, quality, optimize, smoothing};
  return writeJpegFile(target, image, settings) ? kJpegWritten : kJpegTargetFailed;
}

}  // namespace lsg
