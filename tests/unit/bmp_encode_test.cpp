// The 24-bit bottom-up BMP that every snapshot is, and the crop of one.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "capture/bmp.h"
#include "picture/decode.h"

namespace lsg {
namespace {

std::uint32_t le32(const Picture& p, std::size_t at) {
  const auto b = p.bytes();
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

std::uint32_t le16(const Picture& p, std::size_t at) {
  return p.bytes()[at] | p.bytes()[at + 1] << 8;
}

std::vector<std::uint32_t> pattern(int width, int height) {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      pixels[y * width + x] = ((x * 7 + y) & 255) << 16 | ((y * 13) & 255) << 8 | ((x ^ y) & 255);
    }
  }
  return pixels;
}

TEST(BmpEncode, StrideAndFileSize) {
  struct Case {
    int width;
    int height;
    std::size_t stride;
    std::size_t fileSize;
  } const cases[] = {
      {1024, 768, 3072, 2'359'350},
      {37, 36, 112, 4'086},
      {4, 3, 12, 54 + 36},
      {1, 1, 4, 58},
      {2, 1, 8, 62},
      {3, 1, 12, 66},
      {16384, 16384, 49152, 54 + 49152ull * 16384},  // the largest picture that decodes
  };
  for (const Case& c : cases) {
    EXPECT_EQ(bmpStride(c.width), c.stride) << c.width;
    EXPECT_EQ(bmpFileSize(c.width, c.height), c.fileSize) << c.width << "x" << c.height;
  }
}

TEST(BmpEncode, SizesThatCannotBeAFileHaveNone) {
  EXPECT_EQ(bmpStride(0), std::nullopt);
  EXPECT_EQ(bmpStride(-5), std::nullopt);
  EXPECT_NE(bmpStride(0x7FFFFFFF), std::nullopt);  // a stride alone is just a number
  const int cases[][2] = {
      {0, 10},        {10, 0},         {-1, 10},        {10, -1},
      {16384, 16385}, {0x7FFFFFFF, 1}, {1, 0x7FFFFFFF}, {0x7FFFFFFF, 0x7FFFFFFF}};
  for (const auto& c : cases) {
    EXPECT_EQ(bmpFileSize(c[0], c[1]), std::nullopt) << c[0] << "x" << c[1];
    const std::uint32_t pixel = 0;
    EXPECT_TRUE(encodeBmp(c[0], c[1], &pixel, 1).empty());
  }
}

TEST(BmpEncode, HeadersHoldTheLayoutsValues) {
  const auto pixels = pattern(37, 36);
  const Picture bmp = encodeBmp(37, 36, pixels.data(), 37);
  ASSERT_EQ(bmp.size(), 4'086u);
  EXPECT_EQ(bmp.bytes()[0], 'B');
  EXPECT_EQ(bmp.bytes()[1], 'M');
  EXPECT_EQ(le32(bmp, 2), 4'086u);
  EXPECT_EQ(le32(bmp, 6), 0u);  // both reserved fields
  EXPECT_EQ(le32(bmp, 10), 54u);
  EXPECT_EQ(le32(bmp, 14), 40u);
  EXPECT_EQ(le32(bmp, 18), 37u);
  EXPECT_EQ(le32(bmp, 22), 36u);
  EXPECT_EQ(le16(bmp, 26), 1u);
  EXPECT_EQ(le16(bmp, 28), 24u);
  EXPECT_EQ(le32(bmp, 30), 0u);
  EXPECT_EQ(le32(bmp, 34), 4'032u);
  for (std::size_t at = 38; at < 54; at += 4) EXPECT_EQ(le32(bmp, at), 0u) << at;

  std::vector<std::uint8_t> headers(54, 0xCC);
  writeBmpHeaders(headers, 37, 36);
  EXPECT_TRUE(std::equal(headers.begin(), headers.end(), bmp.bytes().begin()));
}

TEST(BmpEncode, BottomRowFirstInBlueGreenRedWithZeroPadding) {
  // 5 x 2, stride 16: 15 bytes of pixels and one pad byte per row. The high byte of the
  // input words is not part of the colour and must not leak into the file.
  const std::vector<std::uint32_t> pixels = {
      0xFF010203, 0xFF040506, 0xFF070809, 0xFF0A0B0C, 0xFF0D0E0F,  // top row
      0xFF112233, 0xFF445566, 0xFF778899, 0xFFAABBCC, 0xFFDDEEFF,  // bottom row
  };
  const Picture bmp = encodeBmp(5, 2, pixels.data(), 5);
  const std::vector<std::uint8_t> expected = {
      0x33, 0x22, 0x11, 0x66, 0x55, 0x44, 0x99, 0x88, 0x77, 0xCC, 0xBB, 0xAA, 0xFF, 0xEE, 0xDD, 0,
      0x03, 0x02, 0x01, 0x06, 0x05, 0x04, 0x09, 0x08, 0x07, 0x0C, 0x0B, 0x0A, 0x0F, 0x0E, 0x0D, 0,
  };
  ASSERT_EQ(bmp.size(), 54 + expected.size());
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), bmp.bytes().begin() + 54));
}

TEST(BmpEncode, RoundTripsThroughTheDecoderAtEveryPadding) {
  for (int width : {1, 2, 3, 4, 5, 7, 8, 33}) {
    for (int height : {1, 2, 5}) {
      SCOPED_TRACE(testing::Message() << width << "x" << height);
      // A pitch wider than the row: only `width` pixels of each are taken.
      const int pitch = width + 3;
      auto pixels = pattern(pitch, height);
      const Picture bmp = encodeBmp(width, height, pixels.data(), pitch);
      ASSERT_EQ(bmp.size(), bmpFileSize(width, height));
      EXPECT_EQ(pictureWidth(bmp), width);
      EXPECT_EQ(pictureHeight(bmp), height);
      const auto image = decodePicture(bmp.bytes());
      ASSERT_TRUE(image.has_value());
      for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
          ASSERT_EQ(image->pixels[y * width + x], pixels[y * pitch + x]) << x << "," << y;
        }
      }
    }
  }
}

TEST(BmpEncode, PitchShorterThanTheRowIsRefused) {
  const auto pixels = pattern(4, 4);
  EXPECT_TRUE(encodeBmp(4, 4, pixels.data(), 3).empty());
  EXPECT_TRUE(encodeBmp(4, 4, nullptr, 4).empty());
}

TEST(BmpCrop, GivesTheSnapshotOfThePart) {
  const int w = 13;
  const int h = 9;
  const auto pixels = pattern(w, h);
  const Picture bmp = encodeBmp(w, h, pixels.data(), w);
  struct Case {
    Rect rect;
    Rect expected;  // after clipping to the image
  } const cases[] = {
      {{2, 3, 5, 4}, {2, 3, 5, 4}},     {{0, 0, 13, 9}, {0, 0, 13, 9}},
      {{12, 8, 1, 1}, {12, 8, 1, 1}},   {{-4, -2, 8, 5}, {0, 0, 4, 3}},
      {{10, 6, 50, 50}, {10, 6, 3, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.rect.left << "," << c.rect.top << " " << c.rect.width
                                    << "x" << c.rect.height);
    const Rect& e = c.expected;
    std::vector<std::uint32_t> part;
    for (int y = e.top; y < e.bottom(); ++y) {
      for (int x = e.left; x < e.right(); ++x) part.push_back(pixels[y * w + x]);
    }
    // Byte for byte what a snapshot of just that part would have been.
    EXPECT_EQ(cropSnapshot(bmp, c.rect), encodeBmp(e.width, e.height, part.data(), e.width));
  }
  EXPECT_EQ(cropSnapshot(bmp, {0, 0, w, h}), bmp);
}

TEST(BmpCrop, NothingLeftOrNotASnapshotGivesTheEmptyPicture) {
  const auto pixels = pattern(8, 8);
  const Picture bmp = encodeBmp(8, 8, pixels.data(), 8);
  for (const Rect r : {Rect{8, 0, 4, 4}, Rect{0, 8, 4, 4}, Rect{-4, 0, 4, 4}, Rect{2, 2, 0, 3},
                       Rect{2, 2, 3, -1}}) {
    EXPECT_TRUE(cropSnapshot(bmp, r).empty()) << r.left << "," << r.top;
  }

  const std::vector<std::uint8_t> bytes(bmp.bytes().begin(), bmp.bytes().end());
  auto with = [&bytes](std::size_t at, std::uint32_t value, std::size_t n) {
    std::vector<std::uint8_t> copy(bytes);
    const std::uint8_t le[4] = {
        static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
        static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    std::copy_n(le, n, copy.begin() + static_cast<std::ptrdiff_t>(at));
    return Picture(std::move(copy));
  };
  const Picture notSnapshots[] = {
      Picture{},
      with(28, 32, 2),                              // 32 bits per pixel
      with(22, static_cast<std::uint32_t>(-8), 4),  // negative height: top-down
      Picture(bytes.data(), bytes.size() - 1),      // truncated pixel rows
      Picture(std::vector<std::uint8_t>{0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F'}),
  };
  for (const Picture& p : notSnapshots) EXPECT_TRUE(cropSnapshot(p, {0, 0, 4, 4}).empty());
}

}  // namespace
}  // namespace lsg
