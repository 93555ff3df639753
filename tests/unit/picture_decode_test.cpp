// Decoding and measuring BMP and JPEG pictures, well formed and malformed.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "fake/hostile_jpeg.h"
#include "fake/peak_heap.h"
#include "picture/decode.h"

namespace lsg {
namespace {

using Bytes = std::vector<std::uint8_t>;

void put(Bytes& b, std::size_t at, std::uint32_t value, int n) {
  for (int i = 0; i < n; ++i) b[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// A test picture whose every pixel differs from its neighbours in all three channels.
std::uint32_t colourAt(int x, int y) {
  return ((x * 29 + 3) & 255) << 16 | ((y * 53 + x) & 255) << 8 | ((x * y * 7 + 1) & 255);
}

std::uint32_t paletteColour(int i) {
  return ((i * 37 + 5) & 255) << 16 | ((i * 91) & 255) << 8 | (255 - i);
}

struct BmpSpec {
  int width = 9;
  int height = 3;  // negative: stored top-down
  int bitCount = 24;
  int headerSize = 40;   // 12: the core header
  int paletteSize = -1;  // entries written; -1: all 2^bitCount
  std::uint32_t clrUsed = 0;
};

int indexAt(int x, int y, int bitCount) { return (x + 2 * y) % (1 << bitCount); }

// Written independently of the decoder: plain byte-by-byte, as the format describes.
Bytes makeBmp(const BmpSpec& s) {
  const int w = s.width;
  const int h = std::abs(s.height);
  const bool core = s.headerSize == 12;
  const int entrySize = core ? 3 : 4;
  const int entries = s.bitCount > 8 ? 0 : (s.paletteSize >= 0 ? s.paletteSize : 1 << s.bitCount);
  const std::size_t stride = ((static_cast<std::size_t>(w) * s.bitCount + 31) / 32) * 4;
  const std::size_t offset = 14 + s.headerSize + entries * entrySize;
  Bytes b(offset + stride * h, 0);
  b[0] = 'B';
  b[1] = 'M';
  put(b, 2, static_cast<std::uint32_t>(b.size()), 4);
  put(b, 10, static_cast<std::uint32_t>(offset), 4);
  put(b, 14, s.headerSize, 4);
  if (core) {
    put(b, 18, w, 2);
    put(b, 20, h, 2);
    put(b, 22, 1, 2);
    put(b, 24, s.bitCount, 2);
  } else {
    put(b, 18, w, 4);
    put(b, 22, static_cast<std::uint32_t>(s.height), 4);
    put(b, 26, 1, 2);
    put(b, 28, s.bitCount, 2);
    put(b, 46, s.clrUsed, 4);
  }
  for (int i = 0; i < entries; ++i) {
    const std::uint32_t c = paletteColour(i);
    const std::size_t at = 14 + s.headerSize + i * entrySize;
    b[at] = c & 255;
    b[at + 1] = (c >> 8) & 255;
    b[at + 2] = (c >> 16) & 255;
  }
  for (int y = 0; y < h; ++y) {
    const int fileRow = s.height < 0 ? y : h - 1 - y;
    std::uint8_t* row = b.data() + offset + fileRow * stride;
    for (int x = 0; x < w; ++x) {
      const std::uint32_t c = colourAt(x, y);
      switch (s.bitCount) {
        case 32:
          row[4 * x + 3] = 0xAB;  // the unused byte, which must not reach the pixels
          [[fallthrough]];
        case 24: {
          std::uint8_t* p = row + x * (s.bitCount / 8);
          p[0] = c & 255;
          p[1] = (c >> 8) & 255;
          p[2] = (c >> 16) & 255;
          break;
        }
        case 8:
          row[x] = static_cast<std::uint8_t>(indexAt(x, y, 8));
          break;
        case 4:
          row[x / 2] |= static_cast<std::uint8_t>(indexAt(x, y, 4) << (x % 2 ? 0 : 4));
          break;
        case 1:
          row[x / 8] |= static_cast<std::uint8_t>(indexAt(x, y, 1) << (7 - x % 8));
          break;
      }
    }
  }
  return b;
}

std::uint32_t expectedPixel(const BmpSpec& s, int x, int y) {
  if (s.bitCount > 8) return colourAt(x, y);
  const int index = indexAt(x, y, s.bitCount);
  const int entries = s.paletteSize >= 0 ? s.paletteSize : 1 << s.bitCount;
  return index < entries ? paletteColour(index) : 0;
}

void expectPixels(const BmpSpec& s, const DecodedImage& image) {
  ASSERT_EQ(image.width, s.width);
  ASSERT_EQ(image.height, std::abs(s.height));
  ASSERT_EQ(image.pixels.size(), static_cast<std::size_t>(image.width) * image.height);
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      ASSERT_EQ(image.pixels[y * image.width + x], expectedPixel(s, x, y))
          << "at " << x << "," << y;
    }
  }
}

TEST(PictureDecodeBmp, EveryDepthAndOrientationDecodesTopDown) {
  const BmpSpec cases[] = {
      {.bitCount = 1},
      {.bitCount = 4},
      {.bitCount = 8},
      {.bitCount = 24},
      {.bitCount = 32},
      {.height = -3, .bitCount = 1},
      {.height = -3, .bitCount = 4},
      {.height = -3, .bitCount = 8},
      {.height = -3, .bitCount = 24},
      {.height = -3, .bitCount = 32},
      {.width = 1, .height = 1, .bitCount = 24},
      {.width = 4, .height = 2, .bitCount = 24},  // no row padding
      {.width = 17, .height = 5, .bitCount = 24},
      {.width = 8, .height = 2, .bitCount = 1},  // one whole byte per row
      {.bitCount = 8, .headerSize = 12},         // core header, 3-byte palette entries
      {.bitCount = 24, .headerSize = 12},
      {.bitCount = 24, .headerSize = 124},  // a V5 header, uncompressed
      {.bitCount = 8, .paletteSize = 16, .clrUsed = 16},
      {.bitCount = 8, .paletteSize = 256, .clrUsed = 1000},  // clamped to 256 entries
  };
  for (const BmpSpec& s : cases) {
    SCOPED_TRACE(testing::Message() << s.width << "x" << s.height << " " << s.bitCount
                                    << " bits, header " << s.headerSize);
    const Bytes bytes = makeBmp(s);
    const auto image = decodePicture(bytes);
    ASSERT_TRUE(image.has_value());
    expectPixels(s, *image);
    const auto size = measurePicture(bytes);
    ASSERT_TRUE(size.has_value());
    EXPECT_EQ(*size, (Size{s.width, std::abs(s.height)}));
  }
}

TEST(PictureDecodeBmp, IndicesPastAShortColourTableAreBlack) {
  const BmpSpec s{.bitCount = 8, .paletteSize = 4, .clrUsed = 4};  // indices run to 12
  const auto image = decodePicture(makeBmp(s));
  ASSERT_TRUE(image.has_value());
  expectPixels(s, *image);
  EXPECT_EQ(image->pixels[8], 0u);  // index 8
}

struct Malformed {
  const char* what;
  Bytes bytes;
};

Bytes patched(Bytes b, std::size_t at, std::uint32_t value, int n = 4) {
  put(b, at, value, n);
  return b;
}

Bytes cut(Bytes b, std::size_t size) {
  b.resize(size);
  return b;
}

std::vector<Malformed> malformedBmps() {
  const Bytes good = makeBmp({});  // 9 x 3, 24 bits, 54 + 28 x 3 bytes
  const Bytes indexed = makeBmp({.bitCount = 8});
  return {
      {"five bytes", cut(good, 5)},
      {"file header only", cut(good, 14)},
      {"BA signature", patched(good, 0, 'B' | ('A' << 8), 2)},
      {"RLE8", patched(indexed, 30, 1)},
      {"bit fields", patched(good, 30, 3)},
      {"16 bits", patched(good, 28, 16, 2)},
      {"0 bits", patched(good, 28, 0, 2)},
      {"width 0", patched(good, 18, 0)},
      {"height 0", patched(good, 22, 0)},
      {"unknown header size", patched(good, 14, 20)},
      {"header larger than the file", patched(good, 14, 0xFFFFFFF0)},
      {"pixel offset inside the headers", patched(good, 10, 20)},
      {"pixel offset past the end", patched(good, 10, 0xFFFFFFFF)},
      {"last byte missing", cut(good, good.size() - 1)},
      {"no pixel rows", cut(good, 54)},
      {"colour table past the end", cut(indexed, 14 + 40 + 512)},
      {"width and height at their largest", patched(patched(good, 18, 0x7FFFFFFF), 22, 0x7FFFFFFF)},
      {"height -2^31", patched(good, 22, 0x80000000)},
      {"one row more than the pixel limit", patched(patched(good, 18, 16384), 22, 16385)},
      {"2^28 pixels of 32 bits in a small file",
       patched(patched(patched(good, 18, 1 << 28), 22, 1), 28, 32, 2)},
  };
}

TEST(PictureDecodeBmp, MalformedIsUndecodableAndMeasuresZero) {
  for (const Malformed& m : malformedBmps()) {
    SCOPED_TRACE(m.what);
    EXPECT_FALSE(decodePicture(m.bytes).has_value());
    EXPECT_FALSE(measurePicture(m.bytes).has_value());
    const Picture picture(m.bytes);
    EXPECT_EQ(pictureWidth(picture), 0);
    EXPECT_EQ(pictureHeight(picture), 0);
  }
}

TEST(PictureDecode, EmptyAndUnknownBytesMeasureZero) {
  const Bytes cases[] = {{}, {0x42, 0x4D}, {1, 2, 3, 4, 5, 6, 7, 8}, Bytes(64, 0)};
  for (const Bytes& b : cases) {
    EXPECT_FALSE(decodePicture(b).has_value());
    EXPECT_EQ(pictureWidth(Picture(b)), 0);
    EXPECT_EQ(pictureHeight(Picture(b)), 0);
  }
}

// JPEG fixtures are made here with libjpeg itself, so the expected pixels are known.
Bytes makeJpeg(int width, int height, int components, J_COLOR_SPACE space, int quality = 95) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr error;
  cinfo.err = jpeg_std_error(&error);
  jpeg_create_compress(&cinfo);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &out, &size);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = components;
  cinfo.in_color_space = space;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<JSAMPLE> row(static_cast<std::size_t>(width) * components);
  while (cinfo.next_scanline < cinfo.image_height) {
    for (int x = 0; x < width; ++x) {
      // Left half dark red, right half light blue, so channel order is unmistakable.
      const bool left = x < width / 2;
      const JSAMPLE values[4] = {static_cast<JSAMPLE>(left ? 200 : 40),
                                 static_cast<JSAMPLE>(left ? 30 : 120),
                                 static_cast<JSAMPLE>(left ? 20 : 230), 0};
      for (int c = 0; c < components; ++c) row[x * components + c] = values[c];
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  Bytes bytes(out, out + size);
  std::free(out);
  return bytes;
}

void expectNear(std::uint32_t pixel, int red, int green, int blue) {
  EXPECT_EQ(pixel >> 24, 0u);
  EXPECT_NEAR(static_cast<int>((pixel >> 16) & 255), red, 6);
  EXPECT_NEAR(static_cast<int>((pixel >> 8) & 255), green, 6);
  EXPECT_NEAR(static_cast<int>(pixel & 255), blue, 6);
}

TEST(PictureDecodeJpeg, ColourDecodesToRgbWordsAtItsSize) {
  const Bytes jpeg = makeJpeg(64, 37, 3, JCS_RGB);
  const auto image = decodePicture(jpeg);
  ASSERT_TRUE(image.has_value());
  ASSERT_EQ(image->width, 64);
  ASSERT_EQ(image->height, 37);
  ASSERT_EQ(image->pixels.size(), 64u * 37u);
  for (int y : {0, 18, 36}) {
    expectNear(image->pixels[y * 64 + 4], 200, 30, 20);
    expectNear(image->pixels[y * 64 + 60], 40, 120, 230);
  }
  EXPECT_EQ(measurePicture(jpeg), (Size{64, 37}));
}

TEST(PictureDecodeJpeg, GreyscaleSpreadsToAllThreeChannels) {
  const Bytes jpeg = makeJpeg(33, 17, 1, JCS_GRAYSCALE);
  const auto image = decodePicture(jpeg);
  ASSERT_TRUE(image.has_value());
  ASSERT_EQ(image->width, 33);
  ASSERT_EQ(image->height, 17);
  expectNear(image->pixels[2], 200, 200, 200);
  expectNear(image->pixels[16 * 33 + 30], 40, 40, 40);
  EXPECT_EQ(measurePicture(jpeg), (Size{33, 17}));
}

TEST(PictureDecodeJpeg, FourComponentsAreUndecodable) {
  const Bytes jpeg = makeJpeg(16, 16, 4, JCS_CMYK);
  EXPECT_FALSE(decodePicture(jpeg).has_value());
  EXPECT_FALSE(measurePicture(jpeg).has_value());
}

// Where the first marker of this kind starts; 0 when there is none.
std::size_t markerOffset(const Bytes& jpeg, std::uint8_t marker) {
  for (std::size_t i = 2; i + 8 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == marker) return i;
  }
  return 0;
}

TEST(PictureDecodeJpeg, BrokenStreamsAreUndecodable) {
  const Bytes good = makeJpeg(40, 24, 3, JCS_RGB);
  Bytes garbage = {0xFF, 0xD8};
  for (int i = 0; i < 500; ++i) garbage.push_back(static_cast<std::uint8_t>(i * 131 + 7));
  Bytes huge = good;  // 60000 x 60000 claimed: refused before anything is allocated
  const std::size_t frame = markerOffset(huge, 0xC0);  // SOF0: length, precision, height, width
  ASSERT_NE(frame, 0u);
  const std::size_t at = frame + 5;
  huge[at] = huge[at + 2] = 0xEA;
  huge[at + 1] = huge[at + 3] = 0x60;
  const Malformed cases[] = {
      {"header cut short", cut(good, 40)},
      {"only start of image", cut(good, 6)},
      {"garbage after the start marker", garbage},
      {"a frame larger than the pixel limit", huge},
  };
  for (const Malformed& m : cases) {
    SCOPED_TRACE(m.what);
    EXPECT_FALSE(decodePicture(m.bytes).has_value());
    EXPECT_FALSE(measurePicture(m.bytes).has_value());
    EXPECT_EQ(pictureWidth(Picture(m.bytes)), 0);
  }
}

// Streams that claim more than the program decodes, each refused before it costs more
// than its bound; and the largest of their kind that the bounds still let through.
struct Hostile {
  const char* what;
  Bytes bytes;
  bool decodes;
  std::int64_t decodePeak;   // the most heap memory decoding it may take
  std::int64_t measurePeak;  // and measuring it, which keeps no picture
};

constexpr std::int64_t kMiB = 1 << 20;
// libjpeg's own structures and tables, all it allocates for a header it is handed.
constexpr std::int64_t kHeader = 64 << 10;

std::vector<Hostile> hostileJpegs() {
  using fake::headerOnlyJpeg;
  // A progressive 1024 x 1024 grey picture: libjpeg holds 16384 blocks of coefficients
  // (2 MiB) while it reads the scans, and the decoded picture takes 4 MiB.
  auto scans = [](int count) {
    return headerOnlyJpeg({.width = 1024, .height = 1024, .scans = count});
  };
  return {
      {"118-byte progressive claiming 65500 x 65500", fake::claims65500Progressive(), false,
       kHeader, kHeader},
      {"grey claiming 65500 x 16384 (1.07 G pixels)",
       headerOnlyJpeg({.width = 65500, .height = 16384, .progressive = false}), false, kHeader,
       kHeader},
      {"grey one row beyond the pixel limit",
       headerOnlyJpeg({.width = 16384, .height = 16385, .progressive = false}), false, kHeader,
       kHeader},
      {"colour claiming 18900 x 18900",
       headerOnlyJpeg({.width = 18900, .height = 18900, .components = 3, .progressive = false}),
       false, kHeader, kHeader},
      {"progressive 4:4:4 at the pixel limit: 1.5 GiB of coefficients",
       headerOnlyJpeg({.width = 16384, .height = 16384, .components = 3}), false, kMiB, kMiB},
      {"progressive 4:2:0 of 196 M pixels: 588 MB of coefficients",
       headerOnlyJpeg({.width = 14000, .height = 14000, .components = 3, .sampling = 0x22}), false,
       kMiB, kMiB},
      {"390 empty scans", scans(390), false, 3 * kMiB, 3 * kMiB},
      {"one scan more than the limit", scans(kMaxJpegScans + 1), false, 3 * kMiB, 3 * kMiB},
      {"as many scans as the limit", scans(kMaxJpegScans), true, 7 * kMiB, 3 * kMiB},
      // Reported as a hang by a long fuzz run at the lowest priority on a busy machine; it
      // decodes in well under a millisecond, the run had been starved of processor time.
      {"progressive 61 x 38, its scan cut short (fuzz run 1)",
       fake::fromHex(
           "ffd800ffdb00430006040506050406060506070706080a100a0a09090a140e0f0c101714181817141616"
           "1a1d251f1a1b231c1616202c20232627292a29191f2d302d283025282928ffdb0043010707070a080a13"
           "0a0a13281a161a2828282828282828282828ffff5f700009937028282828282828282828282828282828"
           "2828282828282828282828282828282828282828282828ffc20011080026003d03011100021101031101"
           "ffc4001500010100000000000000000000000000000405ffc40016010101010000000000000000000000"
           "0000030405ffda000c03010002100300000000"),
       true, kMiB, kMiB},
  };
}

TEST(PictureDecodeJpeg, HostileStreamsAreRefused) {
  for (const Hostile& h : hostileJpegs()) {
    SCOPED_TRACE(h.what);
    const auto image = decodePicture(h.bytes);
    EXPECT_EQ(image.has_value(), h.decodes);
    EXPECT_EQ(measurePicture(h.bytes).has_value(), h.decodes);
    if (image) {
      EXPECT_EQ(measurePicture(h.bytes), (Size{image->width, image->height}));
    }
  }
}

TEST(PictureDecodeJpeg, HostileStreamsStayWithinTheirMemoryBound) {
  if (!fake::PeakHeap::available()) GTEST_SKIP() << "needs AddressSanitizer's allocation hooks";
  for (const Hostile& h : hostileJpegs()) {
    SCOPED_TRACE(h.what);
    const auto decodePeak = fake::PeakHeap::during([&] { (void)decodePicture(h.bytes); });
    EXPECT_LE(decodePeak, h.decodePeak);
    const auto measurePeak = fake::PeakHeap::during([&] { (void)measurePicture(h.bytes); });
    EXPECT_LE(measurePeak, h.measurePeak);
  }
}

TEST(PictureDecodeBmp, MalformedIsRefusedBeforeAnyAllocation) {
  if (!fake::PeakHeap::available()) GTEST_SKIP() << "needs AddressSanitizer's allocation hooks";
  for (const Malformed& m : malformedBmps()) {
    SCOPED_TRACE(m.what);
    EXPECT_EQ(fake::PeakHeap::during([&] { (void)decodePicture(m.bytes); }), 0);
    EXPECT_EQ(fake::PeakHeap::during([&] { (void)measurePicture(m.bytes); }), 0);
  }
}

TEST(PictureDecodeJpeg, TruncatedScanDecodesAtFullSizeAsLibjpegDoes) {
  // libjpeg ends a stream that stops inside the scan data with a warning and fills the
  // missing rows; the picture keeps its size and measuring agrees with decoding.
  const Bytes good = makeJpeg(64, 64, 3, JCS_RGB);
  const std::size_t scan = markerOffset(good, 0xDA);
  ASSERT_NE(scan, 0u);
  const Bytes truncated = cut(good, scan + (good.size() - scan) / 2);
  const auto image = decodePicture(truncated);
  ASSERT_TRUE(image.has_value());
  EXPECT_EQ(image->width, 64);
  EXPECT_EQ(image->height, 64);
  EXPECT_EQ(measurePicture(truncated), (Size{64, 64}));
  expectNear(image->pixels[4], 200, 30, 20);
}

TEST(PictureDecodeJpeg, StartupPictureMeasures596By440) {
  std::ifstream file(std::string(LSG_SOURCE_DIR) + "/resources/startup.jpg", std::ios::binary);
  if (!file) GTEST_SKIP() << "resources/startup.jpg is not readable from here";
  const Picture picture(Bytes(std::istreambuf_iterator<char>(file), {}));
  EXPECT_EQ(pictureWidth(picture), 596);
  EXPECT_EQ(pictureHeight(picture), 440);
}

}  // namespace
}  // namespace lsg
