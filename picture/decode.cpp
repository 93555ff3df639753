#include "picture/decode.h"

#include "picture/bmp_decode.h"
#include "picture/jpeg_decode.h"

namespace lsg {

namespace {

enum class Format { Unknown, Bmp, Jpeg };

Format recognise(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 6) return Format::Unknown;
  if (bytes[0] == 0x42 && bytes[1] == 0x4D) return Format::Bmp;
  if (bytes[0] == 0xFF && bytes[1] == 0xD8) return Format::Jpeg;
  return Format::Unknown;
}

}  // namespace

std::optional<DecodedImage> decodePicture(std::span<const std::uint8_t> bytes) {
  switch (recognise(bytes)) {
    case Format::Bmp:
      return decodeBmp(bytes);
    case Format::Jpeg:
      return decodeJpeg(bytes);
    case Format::Unknown:
      break;
  }
  return {};
}

std::optional<Size> measurePicture(std::span<const std::uint8_t> bytes) {
  switch (recognise(bytes)) {
    case Format::Bmp:
      if (const auto layout = parseBmpLayout(bytes)) return Size{layout->width, layout->height};
      return {};
    case Format::Jpeg:
      return measureJpeg(bytes);
    case Format::Unknown:
      break;
  }
  return {};
}

int pictureWidth(const Picture& picture) {
  const auto size = measurePicture(picture.bytes());
  return size ? size->width : 0;
}

int pictureHeight(const Picture& picture) {
  const auto size = measurePicture(picture.bytes());
  return size ? size->height : 0;
}

}  // namespace lsg
