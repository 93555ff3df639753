#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "fake/hostile_jpeg.h"
#include "fake/peak_heap.h"
#include "fake/scratch_folder.h"
#include "picture/colour.h"
#include "picture/decode.h"
#include "save/convert_jpeg.h"
#include "save/decoded_image.h"
#include "save/file_io.h"
#include "save/image_readers.h"

namespace lsg {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

using fake::fsPath;
using fake::readAll;
using fake::utf8Of;

void writeAll(const std::string& path, const Bytes& bytes) {
  ASSERT_TRUE(fake::writeFile(path, bytes).ok) << path;
}

// ---- BMP fixtures ------------------------------------------------------------------

struct BmpShape {
  int width = 1;
  int height = 1;
  bool topDown = false;
  char second = 'M';  // "BM" or "BA"
  int bits = 24;
  bool coreHeader = false;
  std::uint32_t compression = 0;
  std::size_t cut = 0;  // bytes removed from the end of the pixel area
};

void put16(Bytes& out, std::uint32_t v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}
void put32(Bytes& out, std::uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

// A distinct colour for every pixel, so that a swapped row, column or channel shows.
Colour patternAt(int x, int y) {
  return {static_cast<std::uint8_t>(x * 37 + y * 11), static_cast<std::uint8_t>(200 - x * 5),
          static_cast<std::uint8_t>(y * 29 + 3)};
}

template <typename ColourAt>
Bytes makeBmp(const BmpShape& shape, ColourAt colourAt) {
  const std::uint32_t infoSize = shape.coreHeader ? 12 : 40;
  const std::uint32_t rowBytes = (shape.width * shape.bits + 31) / 32 * 4;
  const std::uint32_t dataOffset = 14 + infoSize;
  Bytes out{'B', static_cast<std::uint8_t>(shape.second)};
  put32(out, dataOffset + rowBytes * shape.height);
  put32(out, 0);
  put32(out, dataOffset);
  put32(out, infoSize);
  if (shape.coreHeader) {
    put16(out, shape.width);
    put16(out, shape.height);
    put16(out, 1);
    put16(out, shape.bits);
  } else {
    put32(out, shape.width);
    put32(out, static_cast<std::uint32_t>(shape.topDown ? -shape.height : shape.height));
    put16(out, 1);
    put16(out, shape.bits);
    put32(out, shape.compression);
    put32(out, rowBytes * shape.height);
    put32(out, 2835);
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
  }
  for (int i = 0; i < shape.height; ++i) {
    const int y = shape.topDown ? i : shape.height - 1 - i;
    const std::size_t rowStart = out.size();
    for (int x = 0; x < shape.width && shape.bits >= 24; ++x) {
      const Colour c = colourAt(x, y);
      out.insert(out.end(), {c.blue, c.green, c.red});
      if (shape.bits == 32) out.push_back(0xFF);
    }
    out.resize(rowStart + rowBytes, 0);
  }
  out.resize(out.size() - shape.cut);
  return out;
}

Bytes makeBmp(const BmpShape& shape) { return makeBmp(shape, patternAt); }

// ---- JPEG structure ------------------------------------------------------------------

struct Segment {
  std::uint8_t marker = 0;
  Bytes body;
};

// The markers of a JPEG stream in order, with their bodies; the entropy-coded data
// after an SOS is skipped, restart markers in it are listed.
std::vector<Segment> segmentsOf(const Bytes& jpeg) {
  std::vector<Segment> segments;
  if (jpeg.size() < 2 || jpeg[0] != 0xFF || jpeg[1] != 0xD8) return segments;
  segments.push_back({0xD8, {}});
  std::size_t pos = 2;
  while (pos + 1 < jpeg.size()) {
    if (jpeg[pos] != 0xFF) return {};  // not at a marker: malformed
    while (pos < jpeg.size() && jpeg[pos] == 0xFF) ++pos;
    if (pos >= jpeg.size()) return {};
    const std::uint8_t marker = jpeg[pos++];
    if (marker == 0xD9) {
      segments.push_back({marker, {}});
      if (pos != jpeg.size()) segments.push_back({0x00, {}});  // bytes after EOI
      break;
    }
    if (pos + 2 > jpeg.size()) return {};
    const std::size_t length = (jpeg[pos] << 8) | jpeg[pos + 1];
    if (length < 2 || pos + length > jpeg.size()) return {};
    segments.push_back({marker, Bytes(jpeg.begin() + pos + 2, jpeg.begin() + pos + length)});
    pos += length;
    if (marker != 0xDA) continue;
    for (; pos + 1 < jpeg.size(); ++pos) {
      if (jpeg[pos] != 0xFF || jpeg[pos + 1] == 0x00) continue;
      if (jpeg[pos + 1] >= 0xD0 && jpeg[pos + 1] <= 0xD7) {
        segments.push_back({jpeg[pos + 1], {}});
        ++pos;
        continue;
      }
      break;
    }
  }
  return segments;
}

const Segment* findSegment(const std::vector<Segment>& segments, std::uint8_t marker) {
  for (const auto& s : segments) {
    if (s.marker == marker) return &s;
  }
  return nullptr;
}

struct Frame {
  int width = 0;
  int height = 0;
  int components = 0;
};

Frame frameOf(const Bytes& jpeg) {
  const auto segments = segmentsOf(jpeg);
  const Segment* sof = findSegment(segments, 0xC0);
  if (sof == nullptr || sof->body.size() < 6) return {};
  return {(sof->body[3] << 8) | sof->body[4], (sof->body[1] << 8) | sof->body[2], sof->body[5]};
}

// Quantisation tables by their number, in natural (row by row) order.
std::vector<std::vector<int>> quantTablesOf(const Bytes& jpeg) {
  static constexpr int kZigzag[64] = {
      0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
      41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
      30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};
  std::vector<std::vector<int>> tables(4);
  for (const auto& s : segmentsOf(jpeg)) {
    if (s.marker != 0xDB) continue;
    for (std::size_t pos = 0; pos + 65 <= s.body.size(); pos += 65) {
      if ((s.body[pos] >> 4) != 0) return {};  // 16-bit values are never baseline
      auto& table = tables[s.body[pos] & 3];
      table.assign(64, 0);
      for (int k = 0; k < 64; ++k) table[kZigzag[k]] = s.body[pos + 1 + k];
    }
  }
  return tables;
}

// ITU-T T.81 Annex K, tables K.1 and K.2.
constexpr int kLuminance[64] = {16,  11,  10,  16,  24, 40, 51,  61,  12,  12,  14,  19,  26,
                                58,  60,  55,  14,  13, 16, 24,  40,  57,  69,  56,  14,  17,
                                22,  29,  51,  87,  80, 62, 18,  22,  37,  56,  68,  109, 103,
                                77,  24,  35,  55,  64, 81, 104, 113, 92,  49,  64,  78,  87,
                                103, 121, 120, 101, 72, 92, 95,  98,  112, 100, 103, 99};
constexpr int kChrominance[64] = {17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,
                                  24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99,
                                  99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
                                  99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};

std::vector<int> scaledTable(const int (&base)[64], int quality) {
  const int scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
  std::vector<int> table(64);
  for (int i = 0; i < 64; ++i) table[i] = std::clamp((base[i] * scale + 50) / 100, 1, 255);
  return table;
}

// ---- the tests -----------------------------------------------------------------------

class SaveConvertToJpeg : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(folder.ready()); }

  // Converts `source` bytes written to a file; gives the result and the JPEG bytes.
  int convert(const Bytes& source, Bytes& jpeg, bool grayscale = false, int quality = 80) {
    const std::string from = folder.file("ImageA.tmp");
    const std::string to = folder.file("out.jpg");
    writeAll(from, source);
    const int result = convertToJpeg(from, to, grayscale, quality, true, 0);
    jpeg = readAll(to);
    removeFile(to);
    return result;
  }

  fake::ScratchFolder folder{"lsg-convert-"};
};

TEST(SaveBmpReader, DecodesRowsFromTheTopInRgbForEveryLayout) {
  const BmpShape layouts[] = {
      {.topDown = false}, {.topDown = true}, {.second = 'A'}, {.coreHeader = true}};
  fake::ScratchFolder folder{"lsg-convert-"};
  ASSERT_TRUE(folder.ready());
  for (const int width : {1, 2, 3, 5, 37}) {
    for (BmpShape shape : layouts) {
      shape.width = width;
      shape.height = 3;
      const std::string path = folder.file("p.bmp");
      writeAll(path, makeBmp(shape));
      ConversionImage image;
      ASSERT_TRUE(readBmpFile(path, image)) << "width " << width;
      ASSERT_EQ(image.width, width);
      ASSERT_EQ(image.height, 3);
      ASSERT_EQ(image.components, 3);
      for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < width; ++x) {
          const std::uint8_t* p = image.row(y) + x * 3;
          const Colour expected = patternAt(x, y);
          ASSERT_EQ((Colour{p[0], p[1], p[2]}), expected)
              << "pixel " << x << "," << y << " width " << width << " top-down " << shape.topDown
              << " core " << shape.coreHeader;
        }
      }
    }
  }
}

TEST_F(SaveConvertToJpeg, SourcesToResultsAndFilesTouched) {
  Bytes colourJpeg;
  ASSERT_EQ(convert(makeBmp({.width = 9, .height = 4}), colourJpeg), kJpegWritten);
  Bytes greyJpeg;
  ASSERT_EQ(convert(makeBmp({.width = 9, .height = 4}), greyJpeg, true), kJpegWritten);

  auto claiming = [](int width, int height) {
    Bytes bmp = makeBmp({.width = 1, .height = 1});
    for (int i = 0; i < 4; ++i) {
      bmp[18 + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(width) >> (8 * i));
      bmp[22 + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(height) >> (8 * i));
    }
    return bmp;
  };
  Bytes noInfo = makeBmp({});
  noInfo.resize(20);  // the info block the data offset promises is cut short

  const struct {
    const char* name;
    Bytes source;
    int result;
  } cases[] = {
      {"24-bit bottom-up", makeBmp({.width = 37, .height = 5}), kJpegWritten},
      {"24-bit top-down", makeBmp({.width = 5, .height = 3, .topDown = true}), kJpegWritten},
      {"BA signature", makeBmp({.width = 3, .height = 2, .second = 'A'}), kJpegWritten},
      {"core header", makeBmp({.width = 2, .height = 2, .coreHeader = true}), kJpegWritten},
      {"colour JPEG", colourJpeg, kJpegWritten},
      {"greyscale JPEG", greyJpeg, kJpegWritten},
      {"8 bits", makeBmp({.width = 4, .height = 2, .bits = 8}), kJpegSourceUnreadable},
      {"32 bits", makeBmp({.width = 4, .height = 2, .bits = 32}), kJpegSourceUnreadable},
      {"RLE compression", makeBmp({.width = 4, .height = 2, .compression = 1}),
       kJpegSourceUnreadable},
      {"JPEG compression", makeBmp({.width = 4, .height = 2, .compression = 4}),
       kJpegSourceUnreadable},
      {"pixel area one byte short", makeBmp({.width = 5, .height = 3, .cut = 1}),
       kJpegSourceUnreadable},
      {"info block short", noInfo, kJpegSourceUnreadable},
      {"claims 60000 x 60000", claiming(60000, 60000), kJpegSourceUnreadable},
      {"wider than a JPEG can be", claiming(70000, 1), kJpegSourceUnreadable},
      {"height of INT_MIN", claiming(1, INT_MIN), kJpegSourceUnreadable},
      {"width 0", claiming(0, 1), kJpegSourceUnreadable},
      {"height 0", claiming(1, 0), kJpegSourceUnreadable},
      {"JPEG cut after its header", Bytes(colourJpeg.begin(), colourJpeg.begin() + 20),
       kJpegSourceUnreadable},
      {"empty file", {}, kJpegSourceUnreadable},
      {"118-byte progressive JPEG claiming 65500 x 65500", fake::claims65500Progressive(),
       kJpegSourceUnreadable},
      {"grey JPEG one row beyond the pixel limit the program shows",
       fake::headerOnlyJpeg({.width = 16384, .height = 16385, .progressive = false}),
       kJpegSourceUnreadable},
      {"progressive 4:4:4 JPEG at the pixel limit",
       fake::headerOnlyJpeg({.width = 16384, .height = 16384, .components = 3}),
       kJpegSourceUnreadable},
      {"progressive JPEG with 390 empty scans",
       fake::headerOnlyJpeg({.width = 256, .height = 256, .scans = 390}), kJpegSourceUnreadable},
      {"progressive JPEG with as many scans as the limit",
       fake::headerOnlyJpeg({.width = 256, .height = 256, .scans = kMaxJpegScans}), kJpegWritten},
      {"text", {'h', 'e', 'l', 'l', 'o'}, kJpegSourceUnreadable},
  };
  const std::string source = folder.file("ImageA.tmp");
  const std::string target = folder.file("chosen.jpg");
  for (const auto& c : cases) {
    writeAll(source, c.source);
    // Once without a target, once over an existing one that must survive a failure.
    removeFile(target);
    EXPECT_EQ(convertToJpeg(source, target, false, 80, true, 0), c.result) << c.name;
    EXPECT_EQ(fileExists(target), c.result == kJpegWritten) << c.name;
    writeAll(target, {'o', 'l', 'd'});
    EXPECT_EQ(convertToJpeg(source, target, false, 80, true, 0), c.result) << c.name;
    const Bytes after = readAll(target);
    if (c.result == kJpegWritten) {
      EXPECT_EQ(segmentsOf(after).back().marker, 0xD9) << c.name;
    } else {
      EXPECT_EQ(after, (Bytes{'o', 'l', 'd'})) << c.name;
    }
    EXPECT_EQ(readAll(source), c.source) << c.name;
    EXPECT_EQ(folder.names(), (std::set<std::string>{"ImageA.tmp", "chosen.jpg"})) << c.name;
  }
}

// What a hostile source may cost the conversion before it is refused: its header is read,
// and at most the coefficients of a small progressive picture (256 x 256 grey: 128 KiB).
TEST_F(SaveConvertToJpeg, HostileSourcesAreRefusedWithinTheirMemoryBound) {
  if (!fake::PeakHeap::available()) GTEST_SKIP() << "needs AddressSanitizer's allocation hooks";
  const struct {
    const char* name;
    Bytes source;
    std::int64_t peak;
  } cases[] = {
      {"118-byte progressive claiming 65500 x 65500", fake::claims65500Progressive(), 1 << 20},
      {"grey claiming 65500 x 16384, 1.07 G pixels",
       fake::headerOnlyJpeg({.width = 65500, .height = 16384, .progressive = false}), 1 << 20},
      {"grey one row beyond the pixel limit",
       fake::headerOnlyJpeg({.width = 16384, .height = 16385, .progressive = false}), 1 << 20},
      {"progressive 4:4:4 at the pixel limit",
       fake::headerOnlyJpeg({.width = 16384, .height = 16384, .components = 3}), 1 << 20},
      {"390 empty scans", fake::headerOnlyJpeg({.width = 256, .height = 256, .scans = 390}),
       1 << 20},
      {"BMP claiming 60000 x 60000 in 58 bytes",
       [] {
         Bytes bmp = makeBmp({.width = 1, .height = 1});
         for (int i = 0; i < 4; ++i) bmp[18 + i] = bmp[22 + i] = (60000 >> (8 * i)) & 0xFF;
         return bmp;
       }(),
       1 << 20},
  };
  const std::string source = folder.file("ImageA.tmp");
  const std::string target = folder.file("chosen.jpg");
  for (const auto& c : cases) {
    writeAll(source, c.source);
    int result = 0;
    const auto peak =
        fake::PeakHeap::during([&] { result = convertToJpeg(source, target, false, 80, true, 0); });
    EXPECT_EQ(result, kJpegSourceUnreadable) << c.name;
    EXPECT_LE(peak, c.peak) << c.name;
  }
}

// The conversion decodes no more than the program shows, so it never writes a picture
// that the program would then refuse to open.
TEST(SaveDecodedImage, SizesFollowThePictureLimit) {
  const struct {
    std::uint64_t width, height;
    int components;
    bool allocated;
  } cases[] = {
      {16384, 16384, 1, true},  // at the limit; pixels left uninitialised cost nothing yet
      {16384, 16385, 1, false}, {65500, 4096, 1, true},
      {65500, 4099, 1, false},  // within the old byte limit for grey, beyond the pixels
      {18900, 18900, 3, false}, {65501, 1, 3, false},  // wider than a JPEG can be
      {0, 1, 3, false},         {1, 1, 2, false},
  };
  for (const auto& c : cases) {
    ConversionImage image;
    EXPECT_EQ(allocateImage(image, c.width, c.height, c.components), c.allocated)
        << c.width << " x " << c.height;
    EXPECT_EQ(image.pixels != nullptr, c.allocated);
  }
}

TEST_F(SaveConvertToJpeg, MissingSourceAndBadParametersTouchNoFile) {
  const std::string source = folder.file("ImageA.tmp");
  const std::string target = folder.file("chosen.jpg");
  EXPECT_EQ(convertToJpeg(source, target, false, 80, true, 0), kJpegSourceMissing);
  EXPECT_TRUE(folder.names().empty());

  const Bytes bmp = makeBmp({.width = 2, .height = 2});
  writeAll(source, bmp);
  const struct {
    std::string source, target;
    int quality, smoothing;
  } cases[] = {
      {source, target, 0, 0},
      {source, target, 101, 0},
      {source, target, 80, -1},
      {source, target, 80, 101},
      {"", target, 80, 0},
      {source, "", 80, 0},
      {folder.file("none.tmp"), target, 0, 0},  // checked before the source is looked for
  };
  for (const auto& c : cases) {
    EXPECT_EQ(convertToJpeg(c.source, c.target, false, c.quality, true, c.smoothing),
              kJpegBadParameter)
        << "quality " << c.quality << " smoothing " << c.smoothing;
  }
  EXPECT_EQ(folder.names(), std::set<std::string>{"ImageA.tmp"});
  EXPECT_EQ(readAll(source), bmp);
  for (const auto& [quality, smoothing] : {std::pair{1, 0}, {100, 100}}) {
    EXPECT_EQ(convertToJpeg(source, target, false, quality, false, smoothing), kJpegWritten);
  }
}

TEST_F(SaveConvertToJpeg, ColourAtQuality80IsBaselineJfifWithTheStandardLayout) {
  Bytes jpeg;
  ASSERT_EQ(convert(makeBmp({.width = 37, .height = 5}), jpeg), kJpegWritten);
  const auto segments = segmentsOf(jpeg);
  std::vector<int> order;  // runs of the same marker counted once
  for (const auto& s : segments) {
    if (order.empty() || order.back() != s.marker) order.push_back(s.marker);
  }
  EXPECT_EQ(order, (std::vector<int>{0xD8, 0xE0, 0xDB, 0xC0, 0xC4, 0xDA, 0xD9}));
  int scans = 0;
  for (const auto& s : segments) {
    scans += s.marker == 0xDA;
    EXPECT_FALSE(s.marker == 0xDD || (s.marker >= 0xD0 && s.marker <= 0xD7)) << "restarts";
  }
  EXPECT_EQ(scans, 1);

  const Segment* app0 = findSegment(segments, 0xE0);
  ASSERT_NE(app0, nullptr);
  EXPECT_EQ(Bytes(app0->body.begin(), app0->body.begin() + 14),
            (Bytes{'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0}));

  const Segment* sof = findSegment(segments, 0xC0);
  ASSERT_NE(sof, nullptr);
  EXPECT_EQ(sof->body, (Bytes{8, 0, 5, 0, 37, 3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1}));
  const Segment* sos = findSegment(segments, 0xDA);
  ASSERT_NE(sos, nullptr);
  EXPECT_EQ(sos->body, (Bytes{3, 1, 0x00, 2, 0x11, 3, 0x11, 0, 63, 0}));

  const auto tables = quantTablesOf(jpeg);
  ASSERT_EQ(tables.size(), 4u);
  EXPECT_EQ(tables[0], scaledTable(kLuminance, 80));
  EXPECT_EQ(tables[1], scaledTable(kChrominance, 80));
  EXPECT_EQ(tables[0][0], 6);  // 16 at 40 %, as a reader of the file sees it
}

TEST_F(SaveConvertToJpeg, QuantisationFollowsQualityWithBaselineLimits) {
  const Bytes bmp = makeBmp({.width = 8, .height = 8});
  for (const int quality : {1, 10, 50, 80, 100}) {
    Bytes jpeg;
    ASSERT_EQ(convert(bmp, jpeg, false, quality), kJpegWritten);
    const auto tables = quantTablesOf(jpeg);
    ASSERT_EQ(tables.size(), 4u) << "quality " << quality;
    EXPECT_EQ(tables[0], scaledTable(kLuminance, quality)) << "quality " << quality;
    EXPECT_EQ(tables[1], scaledTable(kChrominance, quality)) << "quality " << quality;
  }
}

TEST_F(SaveConvertToJpeg, OddSizesKeepTheirWidthAndHeight) {
  for (const int width : {1, 2, 3, 5, 37}) {
    for (const int height : {1, 2, 7}) {
      for (const bool topDown : {false, true}) {
        Bytes jpeg;
        ASSERT_EQ(convert(makeBmp({.width = width, .height = height, .topDown = topDown}), jpeg),
                  kJpegWritten);
        const Frame frame = frameOf(jpeg);
        EXPECT_EQ(frame.width, width);
        EXPECT_EQ(frame.height, height);
        EXPECT_EQ(frame.components, 3);
      }
    }
  }
}

bool near(const std::uint8_t* pixel, Colour expected, int tolerance = 24) {
  return std::abs(pixel[0] - expected.red) <= tolerance &&
         std::abs(pixel[1] - expected.green) <= tolerance &&
         std::abs(pixel[2] - expected.blue) <= tolerance;
}

TEST_F(SaveConvertToJpeg, RedTopAndBlueBottomStayInPlace) {
  // Block-aligned halves, so that chroma subsampling does not blend the two colours
  // where the test looks.
  auto redOverBlue = [](int, int y) { return y < 8 ? Colour{255, 0, 0} : Colour{0, 0, 255}; };
  for (const bool topDown : {false, true}) {
    Bytes jpeg;
    ASSERT_EQ(convert(makeBmp({.width = 16, .height = 16, .topDown = topDown}, redOverBlue), jpeg),
              kJpegWritten);
    const std::string path = folder.file("check.jpg");
    writeAll(path, jpeg);
    ConversionImage image;
    ASSERT_TRUE(readJpegFile(path, image));
    ASSERT_EQ(image.components, 3);
    for (const int x : {0, 7, 15}) {
      EXPECT_TRUE(near(image.row(2) + x * 3, {255, 0, 0})) << "top, top-down " << topDown;
      EXPECT_TRUE(near(image.row(13) + x * 3, {0, 0, 255})) << "bottom, top-down " << topDown;
    }
  }
}

TEST_F(SaveConvertToJpeg, GreyscaleIsOneComponentWithTheLumaOfTheColour) {
  auto green = [](int, int) { return Colour{0, 200, 0}; };
  Bytes jpeg;
  ASSERT_EQ(convert(makeBmp({.width = 8, .height = 8}, green), jpeg, true), kJpegWritten);
  EXPECT_EQ(frameOf(jpeg).components, 1);
  const std::string path = folder.file("grey.jpg");
  writeAll(path, jpeg);
  ConversionImage image;
  ASSERT_TRUE(readJpegFile(path, image));
  ASSERT_EQ(image.components, 1);
  EXPECT_NEAR(image.row(4)[4], 117, 3);  // 0.587 x 200

  // And a greyscale source made colour again keeps its grey.
  Bytes colour;
  ASSERT_EQ(convert(jpeg, colour, false), kJpegWritten);
  EXPECT_EQ(frameOf(colour).components, 3);
  writeAll(path, colour);
  ASSERT_TRUE(readJpegFile(path, image));
  EXPECT_TRUE(near(image.row(4) + 12, {117, 117, 117}, 4));
}

TEST_F(SaveConvertToJpeg, UnwritableTargetGivesMinus4AndLeavesNoPartialFile) {
  const std::string source = folder.file("ImageA.tmp");
  writeAll(source, makeBmp({.width = 3, .height = 3}));
  const std::string asFolder = folder.file("taken.jpg");
  ASSERT_TRUE(fs::create_directory(fsPath(asFolder)));
  EXPECT_EQ(convertToJpeg(source, asFolder, false, 80, true, 0), kJpegTargetFailed);
  EXPECT_EQ(convertToJpeg(source, folder.file("missing/a.jpg"), false, 80, true, 0),
            kJpegTargetFailed);
  EXPECT_TRUE(fs::is_directory(fsPath(asFolder)));
  EXPECT_TRUE(fs::is_empty(fsPath(asFolder)));
  EXPECT_EQ(folder.names(), (std::set<std::string>{"ImageA.tmp", "taken.jpg"}));
}

TEST_F(SaveConvertToJpeg, ChinesePaths) {
  const std::string sub = folder.file("截图测试");
  ASSERT_TRUE(fs::create_directory(fsPath(sub)));
  const std::string source = utf8Of(fsPath(sub) / fsPath("图片.bmp"));
  const std::string target = utf8Of(fsPath(sub) / fsPath("图片.jpg"));
  writeAll(source, makeBmp({.width = 5, .height = 4}));
  ASSERT_EQ(convertToJpeg(source, target, false, 80, true, 0), kJpegWritten);
  EXPECT_EQ(frameOf(readAll(target)).width, 5);
  // A JPEG source with a Chinese name goes through libjpeg's own reading.
  ASSERT_EQ(convertToJpeg(target, utf8Of(fsPath(sub) / fsPath("再存.jpg")), true, 80, true, 0),
            kJpegWritten);
}

}  // namespace
}  // namespace lsg
