#include "picture/bmp_decode.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <new>

namespace lsg {

static_assert(std::endian::native == std::endian::little,
              "pixels are 0x00RRGGBB words whose bytes lie in memory as B, G, R, 0");

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kCoreHeaderSize = 12;
constexpr std::size_t kInfoHeaderSize = 40;

std::uint32_t le16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at] | (b[at + 1] << 8));
}

std::uint32_t le32(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
         (static_cast<std::uint32_t>(b[at + 2]) << 16) |
         (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

std::uint32_t load32(const std::uint8_t* p) {
  std::uint32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

void convert24(const std::uint8_t* src, std::uint32_t* dst, int width) {
  int x = 0;
  // Four pixels are three little-endian words: B0 G0 R0 B1 | G1 R1 B2 G2 | R2 B3 G3 R3.
  for (; x + 4 <= width; x += 4, src += 12, dst += 4) {
    const std::uint32_t w0 = load32(src);
    const std::uint32_t w1 = load32(src + 4);
    const std::uint32_t w2 = load32(src + 8);
    dst[0] = w0 & 0xFFFFFF;
    dst[1] = ((w0 >> 24) | (w1 << 8)) & 0xFFFFFF;
    dst[2] = ((w1 >> 16) | (w2 << 16)) & 0xFFFFFF;
    dst[3] = w2 >> 8;
  }
  for (; x < width; ++x, src += 3, ++dst) {
    *dst = src[0] | (src[1] << 8) | (static_cast<std::uint32_t>(src[2]) << 16);
  }
}

void convert32(const std::uint8_t* src, std::uint32_t* dst, int width) {
  for (int x = 0; x < width; ++x) dst[x] = load32(src + 4 * x) & 0xFFFFFF;
}

using Palette = std::array<std::uint32_t, 256>;

// Entries the table does not hold stay black: a stray index then shows as black, as it
// does when Windows draws the same file, instead of making the picture undecodable.
Palette readPalette(std::span<const std::uint8_t> bytes, const BmpLayout& layout) {
  Palette palette{};
  for (std::size_t i = 0; i < layout.paletteEntries; ++i) {
    const std::uint8_t* e = bytes.data() + layout.paletteOffset + i * layout.paletteEntrySize;
    palette[i] = e[0] | (e[1] << 8) | (static_cast<std::uint32_t>(e[2]) << 16);
  }
  return palette;
}

void convertIndexed(const std::uint8_t* src, std::uint32_t* dst, int width, int bitCount,
                    const Palette& palette) {
  switch (bitCount) {
    case 8:
      for (int x = 0; x < width; ++x) dst[x] = palette[src[x]];
      break;
    case 4:
      for (int x = 0; x < width; ++x) {
        const std::uint8_t pair = src[x >> 1];
        dst[x] = palette[(x & 1) ? (pair & 0x0F) : (pair >> 4)];
      }
      break;
    case 1:
      for (int x = 0; x < width; ++x) dst[x] = palette[(src[x >> 3] >> (7 - (x & 7))) & 1];
      break;
  }
}

}  // namespace

std::optional<BmpLayout> parseBmpLayout(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kFileHeaderSize + 4 || bytes[0] != 'B' || bytes[1] != 'M') return {};
  const std::uint64_t pixelOffset = le32(bytes, 10);
  const std::uint64_t headerSize = le32(bytes, 14);
  if (kFileHeaderSize + headerSize > bytes.size()) return {};

  std::int64_t width = 0;
  std::int64_t height = 0;
  BmpLayout layout;
  if (headerSize == kCoreHeaderSize) {
    width = le16(bytes, 18);
    height = le16(bytes, 20);
    layout.bitCount = static_cast<int>(le16(bytes, 24));
    layout.paletteEntrySize = 3;
  } else if (headerSize >= kInfoHeaderSize) {
    if (le32(bytes, 30) != 0) return {};  // only BI_RGB
    width = static_cast<std::int32_t>(le32(bytes, 18));
    height = static_cast<std::int32_t>(le32(bytes, 22));
    layout.bitCount = static_cast<int>(le16(bytes, 28));
    layout.paletteEntrySize = 4;
    layout.paletteEntries = le32(bytes, 46);
  } else {
    return {};
  }
  switch (layout.bitCount) {
    case 1:
    case 4:
    case 8:
    case 24:
    case 32:
      break;
    default:
      return {};
  }
  layout.topDown = height < 0;
  width = std::llabs(width);
  height = std::llabs(height);
  // Both are at most 2^31, so the product cannot overflow before the check.
  if (width == 0 || height == 0 ||
      static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > kMaxPicturePixels) {
    return {};
  }
  layout.width = static_cast<int>(width);
  layout.height = static_cast<int>(height);

  const std::uint64_t stride = (static_cast<std::uint64_t>(width) * layout.bitCount + 31) / 32 * 4;
  const std::uint64_t imageSize = stride * static_cast<std::uint64_t>(height);
  layout.paletteOffset = kFileHeaderSize + headerSize;
  if (layout.bitCount <= 8) {
    const std::uint64_t maxEntries = std::uint64_t{1} << layout.bitCount;
    if (layout.paletteEntries == 0 || layout.paletteEntries > maxEntries) {
      layout.paletteEntries = maxEntries;
    }
    if (layout.paletteOffset + layout.paletteEntries * layout.paletteEntrySize > bytes.size()) {
      return {};
    }
  } else {
    layout.paletteEntries = 0;
  }
  if (pixelOffset < layout.paletteOffset || pixelOffset > bytes.size() ||
      imageSize > bytes.size() - pixelOffset) {
    return {};
  }
  layout.pixelOffset = pixelOffset;
  layout.stride = stride;
  return layout;
}

std::optional<DecodedImage> decodeBmp(std::span<const std::uint8_t> bytes) {
  const std::optional<BmpLayout> layout = parseBmpLayout(bytes);
  if (!layout) return {};
  DecodedImage image;
  image.width = layout->width;
  image.height = layout->height;
  try {
    image.pixels.resize(static_cast<std::size_t>(layout->width) * layout->height);
  } catch (const std::bad_alloc&) {
    return {};  // too large for the memory left: undecodable, never fatal
  }
  const Palette palette = layout->bitCount <= 8 ? readPalette(bytes, *layout) : Palette{};
  for (int y = 0; y < layout->height; ++y) {
    const std::uint8_t* src = bytes.data() + layout->rowOffset(y);
    std::uint32_t* dst = image.pixels.data() + static_cast<std::size_t>(y) * layout->width;
    switch (layout->bitCount) {
      case 24:
        convert24(src, dst, layout->width);
        break;
      case 32:
        convert32(src, dst, layout->width);
        break;
      default:
        convertIndexed(src, dst, layout->width, layout->bitCount, palette);
    }
  }
  return image;
}

}  // namespace lsg
