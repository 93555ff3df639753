#include <cstdint>
#include <cstdio>
#include <memory>
#include <utility>

#include "save/file_io.h"
#include "save/image_readers.h"

namespace lsg {
namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoFieldsNeeded = 20;  // up to and including the compression

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

std::uint32_t le16(const unsigned char* p) { return p[0] | (p[1] << 8); }
std::uint32_t le32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t{p[3]} << 24);
}

struct BmpLayout {
  std::uint64_t width = 0;
  std::uint64_t height = 0;
  bool bottomUp = true;
  unsigned bitCount = 0;
};

// The geometry of the info block; false for a block this reader declines.
bool parseInfoBlock(const unsigned char* block, std::uint32_t blockSize, BmpLayout& layout) {
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

// Reads the rows straight into the image: each row's B, G, R bytes land in place and
// are swapped there, the 0-3 padding bytes go to a scratch buffer.
bool readRows(std::FILE* file, const BmpLayout& layout, std::size_t padding,
              ConversionImage& image) {
  const std::size_t pixelBytes = image.rowBytes();
  unsigned char scratch[4];
  for (std::uint64_t i = 0; i < layout.height; ++i) {
    const std::uint64_t y = layout.bottomUp ? layout.height - 1 - i : i;
    std::uint8_t* row = image.row(static_cast<std::size_t>(y));
    if (std::fread(row, 1, pixelBytes, file) != pixelBytes) return false;
    if (padding != 0 && std::fread(scratch, 1, padding, file) != padding) return false;
    for (std::size_t x = 0; x < pixelBytes; x += 3) std::swap(row[x], row[x + 2]);
  }
  return true;
}

bool decodeBmp(std::FILE* file, ConversionImage& image) {
  unsigned char header[kFileHeaderSize];
  if (std::fread(header, 1, sizeof header, file) != sizeof header) return false;
  if (header[0] != 'B' || (header[1] != 'M' && header[1] != 'A')) return false;
  const std::uint32_t dataOffset = le32(header + 10);
  if (dataOffset < kFileHeaderSize + kCoreHeaderSize) return false;
  const std::uint32_t blockSize = dataOffset - kFileHeaderSize;
  const auto size = fileSize(file);
  if (!size || *size < dataOffset) return false;  // the info block would be short

  unsigned char block[kInfoFieldsNeeded];
  const std::size_t wanted = blockSize < sizeof block ? blockSize : sizeof block;
  if (std::fread(block, 1, wanted, file) != wanted) return false;
  BmpLayout layout;
  if (!parseInfoBlock(block, blockSize, layout) || layout.bitCount != 24) return false;

  // Every row must be in the file before anything is allocated, so the image never
  // takes more memory than the file supplies. Sides beyond 65500 are refused first,
  // which keeps the products below far from overflowing.
  if (layout.width > kMaxImageSide || layout.height > kMaxImageSide) return false;
  const std::uint64_t rowBytes = (layout.width * 24 + 31) / 32 * 4;
  if (*size - dataOffset < rowBytes * layout.height) return false;
  // A long is 32 bits on Windows; no real info block comes near 2 GiB.
  if (dataOffset >= 0x80000000u || std::fseek(file, static_cast<long>(dataOffset), SEEK_SET) != 0) {
    return false;
  }
  if (!allocateImage(image, layout.width, layout.height, 3)) return false;
  return readRows(file, layout, static_cast<std::size_t>(rowBytes - layout.width * 3), image);
}

}  // namespace

bool readBmpFile(const std::string& path, ConversionImage& image) {
  image = ConversionImage{};
  std::unique_ptr<std::FILE, FileCloser> file(openFile(path, "rb"));
  if (file && decodeBmp(file.get(), image)) return true;
  image = ConversionImage{};
  return false;
}

}  // namespace lsg
