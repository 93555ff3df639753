#include "capture/bmp.h"

#include <bit>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "picture/bmp_decode.h"
#include "picture/decode.h"

namespace lsg {

static_assert(std::endian::native == std::endian::little,
              "pixels are 0x00RRGGBB words whose bytes lie in memory as B, G, R, 0");

namespace {

void put16(std::uint8_t* at, std::uint32_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}

void put32(std::uint8_t* at, std::uint32_t value) {
  put16(at, value);
  put16(at + 2, value >> 16);
}

// The pixels of one row as B, G, R triples; the pad bytes after them are left alone.
// Plain byte stores: g++ vectorises this loop into shuffles, which measured twice as fast
// as packing four pixels into three words by hand.
void packRow(const std::uint32_t* src, std::uint8_t* dst, int width) {
  for (int x = 0; x < width; ++x) {
    dst[3 * x] = static_cast<std::uint8_t>(src[x]);
    dst[3 * x + 1] = static_cast<std::uint8_t>(src[x] >> 8);
    dst[3 * x + 2] = static_cast<std::uint8_t>(src[x] >> 16);
  }
}

// A zero-filled buffer of the file's size with its headers written, or empty.
std::vector<std::uint8_t> startFile(int width, int height) {
  const auto size = bmpFileSize(width, height);
  std::vector<std::uint8_t> file;
  if (!size) return file;
  try {
    file.resize(*size);
  } catch (const std::bad_alloc&) {
    return {};  // a capture that cannot get its memory is the empty Picture
  }
  writeBmpHeaders(file, width, height);
  return file;
}

}  // namespace

std::optional<std::size_t> bmpStride(int width) {
  if (width < 1) return {};
  const std::uint64_t stride =
      (std::uint64_t{24} * static_cast<std::uint64_t>(width) + 31) / 32 * 4;
  if (stride > std::numeric_limits<std::size_t>::max()) return {};
  return static_cast<std::size_t>(stride);
}

std::optional<std::size_t> bmpFileSize(int width, int height) {
  const auto stride = bmpStride(width);
  if (!stride || height < 1) return {};
  if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > kMaxPicturePixels) {
    return {};
  }
  // Below the pixel bound both factors are small enough that the product fits 64 bits.
  const std::uint64_t size =
      kBmpHeaderSize + std::uint64_t{*stride} * static_cast<std::uint64_t>(height);
  if (size > std::numeric_limits<std::uint32_t>::max() ||
      size > std::numeric_limits<std::size_t>::max()) {
    return {};
  }
  return static_cast<std::size_t>(size);
}

void writeBmpHeaders(std::span<std::uint8_t> out, int width, int height) {
  const auto size = bmpFileSize(width, height);
  if (!size || out.size() < kBmpHeaderSize) return;
  const auto imageSize = static_cast<std::uint32_t>(*size - kBmpHeaderSize);
  std::uint8_t* h = out.data();
  std::memset(h, 0, kBmpHeaderSize);
  h[0] = 'B';
  h[1] = 'M';
  put32(h + 2, static_cast<std::uint32_t>(*size));
  put32(h + 10, static_cast<std::uint32_t>(kBmpHeaderSize));
  put32(h + 14, 40);
  put32(h + 18, static_cast<std::uint32_t>(width));
  put32(h + 22, static_cast<std::uint32_t>(height));  // positive: rows stored bottom-up
  put16(h + 26, 1);
  put16(h + 28, 24);
  put32(h + 34, imageSize);  // compression (30), densities and colour counts stay 0
}

Picture encodeBmp(int width, int height, const std::uint32_t* topDownPixels,
                  std::size_t pitchPixels) {
  if (topDownPixels == nullptr || width < 1 || pitchPixels < static_cast<std::size_t>(width)) {
    return {};
  }
  std::vector<std::uint8_t> file = startFile(width, height);
  if (file.empty()) return {};
  const std::size_t stride = *bmpStride(width);
  std::uint8_t* row = file.data() + kBmpHeaderSize;
  for (int y = height - 1; y >= 0; --y, row += stride) {
    packRow(topDownPixels + static_cast<std::size_t>(y) * pitchPixels, row, width);
  }
  return Picture(std::move(file));
}

Picture cropSnapshot(const Picture& bmp, Rect rect) {
  const auto layout = parseBmpLayout(bmp.bytes());
  if (!layout || layout->bitCount != 24 || layout->topDown) return {};
  const Rect part = intersect(rect, {0, 0, layout->width, layout->height});
  if (part.empty()) return {};
  std::vector<std::uint8_t> file = startFile(part.width, part.height);
  if (file.empty()) return {};
  const std::size_t stride = *bmpStride(part.width);
  const std::size_t rowBytes = std::size_t{3} * static_cast<std::size_t>(part.width);
  const std::size_t skip = std::size_t{3} * static_cast<std::size_t>(part.left);
  std::uint8_t* out = file.data() + kBmpHeaderSize;
  // Both files run bottom-up, so the crop's first row is the source's row at part.bottom() - 1.
  for (int y = part.bottom() - 1; y >= part.top; --y, out += stride) {
    std::memcpy(out, bmp.bytes().data() + layout->rowOffset(y) + skip, rowBytes);
  }
  return Picture(std::move(file));
}

bool isAllBlackBmp(const Picture& bmp) {
  const auto layout = parseBmpLayout(bmp.bytes());
  if (!layout || layout->bitCount != 24) return false;
  const std::size_t rowBytes = std::size_t{3} * static_cast<std::size_t>(layout->width);
  for (int y = layout->height - 1; y >= 0; --y) {
    const std::uint8_t* row = bmp.bytes().data() + layout->rowOffset(y);
    // All zero when the first byte is and each byte equals the next: memcmp runs at the
    // speed of the machine's widest compare.
    if (row[0] != 0 || std::memcmp(row, row + 1, rowBytes - 1) != 0) return false;
  }
  return true;
}

}  // namespace lsg
