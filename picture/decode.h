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

// The bounds on every picture this program decodes, for showing, measuring and the JPEG
// conversion alike, so that the conversion never writes a picture the program refuses to
// show. A header beyond them is refused before anything is allocated.
//
// kMaxPicturePixels (16384 x 16384): eight times an 8K screen, so every snapshot this
// program can take fits with room to spare. At this bound the decoded pixels take 1 GiB,
// so every byte count of a decoded picture fits in the signed 32-bit sizes that GDI's
// drawing calls take, and the 24-bit BMP of such a picture (about 805 MB) fits in the
// 32-bit size fields of its own headers.
//
// kMaxJpegDecoderMemory: what libjpeg itself may hold while it decodes. A sequential JPEG
// needs a few rows of blocks (under 10 MB at the widest); a progressive or multi-scan one
// needs a coefficient buffer for the whole picture, 128 bytes per 8 x 8 block of each
// component: 2 bytes a pixel in grey, 3 in colour at 4:2:0, 6 at 4:4:4. So a progressive
// picture decodes up to about 268 M pixels in grey, 179 M at 4:2:0, 89 M at 4:4:4 (an 8K
// screen is 33 M); a larger one is refused before libjpeg allocates it.
//
// kMaxJpegScans: a progressive encoder writes 6 to 10 scans, 20 or so for a hand-tuned
// script. Each scan is a pass over every block it covers, even one without data, so a
// small file with hundreds of empty scans over a large picture would keep the decoder
// busy for many seconds; past this count decoding stops.
//
// Peak memory these allow (libjpeg's small tables and one row aside):
// - decoding for display: 1 GiB of pixels (4 bytes each) + 512 MiB in libjpeg = 1.5 GiB;
// - measuring: 512 MiB in libjpeg;
// - the conversion from a JPEG: 768 MiB of pixels (3 bytes each) + 512 MiB in libjpeg
//   while it reads; while it writes, the same 768 MiB + libjpeg's whole-picture
//   coefficient buffer for optimised Huffman tables (2 bytes a pixel in grey, 3 in
//   colour: 768 MiB) = 1.5 GiB.
inline constexpr std::uint64_t kMaxPicturePixels = std::uint64_t{1} << 28;
inline constexpr long kMaxJpegDecoderMemory = 512L << 20;
inline constexpr int kMaxJpegScans = 64;

// BMP (uncompressed, 1/4/8 bits with a colour table, 24 or 32 bits) or JPEG; anything
// else, and anything malformed, truncated or larger than kMaxPicturePixels, is nullopt.
std::optional<DecodedImage> decodePicture(std::span<const std::uint8_t> bytes);

// The size decodePicture would give, without keeping the pixels: a BMP is measured from its
// headers alone (they decide whether it decodes); a JPEG is decoded through at an eighth of
// its size into one reused row, since only a full pass shows whether libjpeg accepts the
// data, and at an eighth libjpeg skips nearly all the work of making pixels.
std::optional<Size> measurePicture(std::span<const std::uint8_t> bytes);

// In pixels, the drawing unit of every canvas; 0 for empty or undecodable bytes.
int pictureWidth(const Picture& picture);
int pictureHeight(const Picture& picture);

}  // namespace lsg
