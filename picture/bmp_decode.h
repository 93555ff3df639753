#pragma once

// The headers of a BMP file, checked against the bytes that hold them. Shared by the
// decoder and by the snapshot crop, which copies rows without decoding.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "picture/decode.h"

namespace lsg {

struct BmpLayout {
  int width = 0;
  int height = 0;
  int bitCount = 0;  // 1, 4, 8, 24 or 32
  bool topDown = false;
  std::size_t pixelOffset = 0;  // of the first row in the file
  std::size_t stride = 0;       // bytes per row, a multiple of 4
  // 1, 4 and 8 bits: the colour table, entrySize bytes (B, G, R[, 0]) per entry.
  std::size_t paletteOffset = 0;
  std::size_t paletteEntries = 0;
  std::size_t paletteEntrySize = 0;

  // Where the row that is `y` from the top starts, as an offset into the file.
  std::size_t rowOffset(int y) const {
    const auto fileRow = static_cast<std::size_t>(topDown ? y : height - 1 - y);
    return pixelOffset + fileRow * stride;
  }
};

// nullopt unless the bytes are a BMP this program decodes, with every row and the colour
// table inside the bytes and no more than kMaxPicturePixels pixels.
std::optional<BmpLayout> parseBmpLayout(std::span<const std::uint8_t> bytes);

std::optional<DecodedImage> decodeBmp(std::span<const std::uint8_t> bytes);

}  // namespace lsg
