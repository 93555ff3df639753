#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>
#include <utility>

#include "picture/decode.h"
#include "save/file_io.h"
#include "save/image_readers.h"

namespace lsg {
namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoFieldsNeeded = 20;  // up to and including the compression

std::uint32_t le16(const unsigned char* p) { return p[0] | (p[1] << 8); }
std::uint32_t le32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t{p[3]} << 24);
}

struct BmpSourceLayout {
  std::uint64_t width = 0;
  std::uint64_t height = 0;
  bool bottomUp = true;
  unsigned bitCount = 0;
};

// The geometry of the info block; false for a block this reader declines.
bool parseInfoBlock(const unsigned char* block, std::uint32_t blockSize, BmpSourceLayout& layout) {
  if (blockSize >= kCoreHeaderSize && le32(block) == kCoreHeaderSize) {
    layout.width = le16(block + 4);
    layout.height = le16(block + 6);
    layout.bitCount = le16(block + 10);
    layout.bottomUp = true;
    return layout.width > 0 && layout.height > 0;
  }
  if (blockSize < kInfoFieldsNeeded) return false;
  const auto width = static_cast<std::int32_t>(le32(block + 4));
  const auto height = static_cast<std::int32_t>(le32(block + 8));
  const std::uint32_t compression = le32(block + 16);
  unsigned bitCount = le16(block + 14);
  if (width < 1 || height == 0 || compression > 3) return false;
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
      bitCount != 32) {
    return false;
  }
  if (compression == 1) bitCount = 8;
  if (compression == 2) bitCount = 4;
  layout.width = static_cast<std::uint64_t>(width);
  // In 64 bits, so that the most negative height is negated without overflow.
  const std::int64_t rows = height;
  layout.height = static_cast<std::uint64_t>(rows < 0 ? -rows : rows);
  layout.bottomUp = height > 0;
  layout.bitCount = bitCount;
  return true;
}

// The largest file this reader takes in: the pixel area of the largest picture it accepts
// (kMaxPicturePixels at 3 bytes, plus up to 3 pad bytes on each of at most kMaxImageSide
// rows) and a generous allowance for the headers. A longer file is read only this far;
// its picture must lie within.
constexpr std::uint64_t kMaxBmpFileBytes =
    3 * kMaxPicturePixels + 3 * kMaxImageSide + (std::uint64_t{1} << 20);

void swapBlueAndRed(ConversionImage& image) {
  for (int y = 0; y < image.height; ++y) {
    std::uint8_t* row = image.row(static_cast<std::size_t>(y));
    for (std::size_t x = 0; x < image.rowBytes(); x += 3) std::swap(row[x], row[x + 2]);
  }
}

// The whole file in one read, then the headers checked in memory; the image's rows are the
// file's own rows where they lie. Every size is checked against what was read before a row
// pointer is made, so a hostile header never points outside the buffer.
bool readBmpSource(std::FILE* file, ConversionImage& image) {
  const auto size = fileSize(file);
  if (!size || *size < kFileHeaderSize + kCoreHeaderSize) return false;
  const std::uint64_t length = *size < kMaxBmpFileBytes ? *size : kMaxBmpFileBytes;
  std::unique_ptr<std::uint8_t[]> bytes(new (std::nothrow)
                                            std::uint8_t[static_cast<std::size_t>(length)]);
  if (!bytes) return false;
  // Unbuffered, so the one read goes straight into the buffer.
  std::setvbuf(file, nullptr, _IONBF, 0);
  if (std::fread(bytes.get(), 1, length, file) != length) return false;

  const unsigned char* header = bytes.get();
  if (header[0] != 'B' || (header[1] != 'M' && header[1] != 'A')) return false;
  const std::uint32_t dataOffset = le32(header + 10);
  if (dataOffset < kFileHeaderSize + kCoreHeaderSize) return false;
  if (length < dataOffset) return false;  // the info block would be short
  const std::uint32_t blockSize = dataOffset - kFileHeaderSize;
  BmpSourceLayout layout;
  if (!parseInfoBlock(header + kFileHeaderSize, blockSize, layout) || layout.bitCount != 24) {
    return false;
  }

  // Sides beyond 65500 are refused first, which keeps the products below far from
  // overflowing; a picture the program could not show is not converted either.
  if (layout.width > kMaxImageSide || layout.height > kMaxImageSide) return false;
  if (layout.width * layout.height > kMaxPicturePixels) return false;
  const std::uint64_t rowBytes = (layout.width * 24 + 31) / 32 * 4;
  if (length - dataOffset < rowBytes * layout.height) return false;

  image.width = static_cast<int>(layout.width);
  image.height = static_cast<int>(layout.height);
  image.components = 3;
  image.order = PixelOrder::Bgr;
  std::uint8_t* rows = bytes.get() + dataOffset;
  const auto stride = static_cast<std::ptrdiff_t>(rowBytes);
  image.first = layout.bottomUp ? rows + (image.height - 1) * stride : rows;
  image.stride = layout.bottomUp ? -stride : stride;
  image.pixels = std::move(bytes);
  return true;
}

}  // namespace

bool readBmpFile(const std::string& path, ConversionImage& image, PixelOrder order) {
  image = ConversionImage{};
  UniqueFile file(openFile(path, "rb"));
  if (file && readBmpSource(file.get(), image)) {
    if (order == PixelOrder::Rgb) swapBlueAndRed(image);
    image.order = order;
    return true;
  }
  image = ConversionImage{};
  return false;
}

}  // namespace lsg
