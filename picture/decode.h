#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "picture/geometry.h"
#include "picture/picture.h"

namespace lsg {

// Decoded pixels, rows top-down, each pixel a uint32_t 0x00RRGGBB (in memory: B, G, R, 0),
// exactly the layout of a 32-bit top-down DIB, so the painter hands it to GDI without a copy.
struct DecodedImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
};

// The most pixels a picture may have to be decoded (16384 x 16384). It is eight times an
// 8K screen, so every snapshot this program can take fits with room to spare, while a
// header that claims more is refused before anything is allocated. At this bound the
// decoded pixels take 1 GiB, so every byte count of a decoded picture fits in the signed
// 32-bit sizes that GDI's drawing calls take, and the 24-bit BMP of such a picture
// (about 805 MB) fits in the 32-bit size fields of its own headers.
inline constexpr std::uint64_t kMaxPicturePixels = std::uint64_t{1} << 28;

// BMP (uncompressed, 1/4/8 bits with a colour table, 24 or 32 bits) or JPEG; anything
// else, and anything malformed, truncated or larger than kMaxPicturePixels, is nullopt.
std::optional<DecodedImage> decodePicture(std::span<const std::uint8_t> bytes);

// The size decodePicture would give, without keeping the pixels: a BMP is measured from its
// headers alone (they decide whether it decodes); a JPEG is decoded row by row into one
// reused row, since only a full pass shows whether libjpeg accepts the data.
std::optional<Size> measurePicture(std::span<const std::uint8_t> bytes);

// In pixels, the drawing unit of every canvas; 0 for empty or undecodable bytes.
int pictureWidth(const Picture& picture);
int pictureHeight(const Picture& picture);

}  // namespace lsg
