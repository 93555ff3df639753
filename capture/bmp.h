#pragma once

// The file every snapshot is: a 14-byte file header, a 40-byte info header, no colour
// table, then 24-bit rows (B, G, R, zero padding to a multiple of 4) from the bottom row
// of the image up to the top row. Saving as BMP writes these very bytes.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "picture/geometry.h"
#include "picture/picture.h"

namespace lsg {

inline constexpr std::size_t kBmpHeaderSize = 54;

// ((24 x width + 31) div 32) x 4; nullopt for a width below 1 or on overflow.
std::optional<std::size_t> bmpStride(int width);

// 54 + stride x height; nullopt for a width or height below 1, on overflow, when the file
// would not fit the 32-bit size field of its header, or when the picture has more than
// kMaxPicturePixels pixels: no snapshot is made that the program could not show again.
std::optional<std::size_t> bmpFileSize(int width, int height);

// The 54 header bytes, exactly as the layout gives them. Writes nothing when `out` is
// shorter than kBmpHeaderSize or bmpFileSize(width, height) has no value.
void writeBmpHeaders(std::span<std::uint8_t> out, int width, int height);

// The exact file bytes for top-down rows of 0x00RRGGBB pixels, `pitchPixels` apart. The
// empty Picture when there are no pixels, the pitch is below the width or bmpFileSize has
// no value.
Picture encodeBmp(int width, int height, const std::uint32_t* topDownPixels,
                  std::size_t pitchPixels);

// The part of a snapshot BMP (24 bits, uncompressed, bottom-up, as encodeBmp and the
// snapshot make it) at `rect`, in the image's top-down coordinates, as a new snapshot BMP.
// The rect is clipped to the image; the empty Picture when nothing remains or the source is
// not such a BMP. Rows are copied as they are, nothing is decoded.
Picture cropSnapshot(const Picture& bmp, Rect rect);

// Whether every pixel of a snapshot BMP is black (pad bytes aside): one pass over the rows
// in file order that stops at the first row holding anything else. False for bytes that are
// not such a BMP.
bool isAllBlackBmp(const Picture& bmp);

}  // namespace lsg
