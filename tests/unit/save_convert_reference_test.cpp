// The conversion byte for byte against the library's own command-line encoder with the
// settings save as JPG uses: quality 80, optimised Huffman tables, the accurate integer
// DCT, no smoothing. Any change to one of them, or to the pixels handed over (rows flipped,
// red and blue swapped, padding read as pixels), changes the bytes.
//
// Native only: the reference tools are Linux programs (libjpeg-turbo-progs).
#ifndef _WIN32

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/screen_like.h"
#include "fake/scratch_folder.h"
#include "save/convert_jpeg.h"

namespace lsg {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr const char* kReferenceSettings = "-quality 80 -optimize -dct int";

// A 24-bit BMP whose pixels are a window onto a screen-like picture of at least
// 1920 x 1080, at (left, top), so that even a small picture holds text, edges and detail.
// The density fields are 0, so that the reference keeps JFIF's default density as the
// program does.
Bytes referenceBmp(int width, int height, bool topDown, int left, int top) {
  const int screenWidth = std::max(1920, left + width);
  const int screenHeight = std::max(1080, top + height);
  const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
  const std::size_t image = stride * static_cast<std::size_t>(height);
  Bytes out(54 + image, 0);
  auto put = [&out](std::size_t at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
  };
  out[0] = 'B';
  out[1] = 'M';
  put(2, static_cast<std::uint32_t>(out.size()), 4);
  put(10, 54, 4);
  put(14, 40, 4);
  put(18, static_cast<std::uint32_t>(width), 4);
  put(22, static_cast<std::uint32_t>(topDown ? -height : height), 4);
  put(26, 1, 2);
  put(28, 24, 2);
  put(34, static_cast<std::uint32_t>(image), 4);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = out.data() + 54 + stride * (topDown ? y : height - 1 - y);
    for (int x = 0; x < width; ++x) {
      const bench::Bgr p = bench::detail::pixelAt(left + x, top + y, screenWidth, screenHeight);
      row[3 * x] = p.blue;
      row[3 * x + 1] = p.green;
      row[3 * x + 2] = p.red;
    }
    // Pad bytes that are not zero: a reader that takes them for pixels changes the JPEG.
    for (std::size_t pad = std::size_t{3} * width; pad < stride; ++pad) row[pad] = 0xA5;
  }
  return out;
}

std::string quoted(const std::string& path) { return "'" + path + "'"; }

class SaveConvertReference : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(folder.ready()); }

  // Runs a shell command that must succeed; the reference tools come from
  // libjpeg-turbo-progs, which the set-up installs.
  void run(const std::string& command) {
    ASSERT_EQ(std::system(command.c_str()), 0)
        << command << "\n(cjpeg and djpeg come from Debian's libjpeg-turbo-progs)";
  }

  Bytes convert(const std::string& source) {
    const std::string target = folder.file("program.jpg");
    EXPECT_EQ(convertToJpeg(source, target, false, 80, true, 0), kJpegWritten) << source;
    return fake::readAll(target);
  }

  Bytes cjpeg(const std::string& bmp) {
    const std::string target = folder.file("reference.jpg");
    run(std::string("cjpeg ") + kReferenceSettings + " -outfile " + quoted(target) + " " +
        quoted(bmp));
    return fake::readAll(target);
  }

  fake::ScratchFolder folder{"lsg-reference-"};
};

// Where two streams first differ, for a failure message that says more than "not equal".
std::string difference(const Bytes& actual, const Bytes& expected) {
  const auto [a, e] = std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
  return "sizes " + std::to_string(actual.size()) + " and " + std::to_string(expected.size()) +
         ", first difference at byte " + std::to_string(a - actual.begin());
}

void expectSameBytes(const Bytes& actual, const Bytes& expected, const std::string& what) {
  ASSERT_FALSE(expected.empty()) << what << ": no reference";
  EXPECT_TRUE(actual == expected) << what << ": " << difference(actual, expected);
}

TEST_F(SaveConvertReference, BmpSourcesGiveTheReferenceEncodersBytes) {
  struct Case {
    int width;
    int height;
    int left = 1100;  // in the photo-like area of the screen
    int top = 300;
  };
  const Case cases[] = {
      {1, 1},
      {2, 2},
      {16, 16},
      {17, 17},
      {37, 36, 90, 40},
      {599, 442, 40, 30},
      {4097, 3, 0, 500},
      {3, 4097, 960, 0},
      {1920, 1080, 0, 0},
  };
  for (const Case& c : cases) {
    const std::string name = std::to_string(c.width) + "x" + std::to_string(c.height);
    const std::string bottomUp = folder.file(name + ".bmp");
    ASSERT_TRUE(
        fake::writeFile(bottomUp, referenceBmp(c.width, c.height, false, c.left, c.top)).ok);
    expectSameBytes(convert(bottomUp), cjpeg(bottomUp), name);
  }
}

// A top-down file holds the same picture as its bottom-up twin, so it must give the
// twin's JPEG.
TEST_F(SaveConvertReference, TopDownBmpGivesItsBottomUpTwinsBytes) {
  for (const auto& [width, height] : {std::pair{17, 17}, std::pair{599, 442}}) {
    const std::string name = std::to_string(width) + "x" + std::to_string(height);
    const std::string bottomUp = folder.file(name + "-bottom-up.bmp");
    const std::string topDown = folder.file(name + "-top-down.bmp");
    ASSERT_TRUE(fake::writeFile(bottomUp, referenceBmp(width, height, false, 40, 30)).ok);
    ASSERT_TRUE(fake::writeFile(topDown, referenceBmp(width, height, true, 40, 30)).ok);
    expectSameBytes(convert(topDown), cjpeg(bottomUp), name + " top-down");
  }
}

// Saving before any capture converts the start-up JPEG: decoded with the library's
// defaults and encoded again, as the reference decoder piped into the encoder does.
TEST_F(SaveConvertReference, JpegSourceGivesDecoderPipedIntoEncoder) {
  const std::string source = std::string(LSG_SOURCE_DIR) + "/resources/startup.jpg";
  const std::string target = folder.file("reference.jpg");
  run("djpeg " + quoted(source) + " | cjpeg " + kReferenceSettings + " -outfile " + quoted(target));
  expectSameBytes(convert(source), fake::readAll(target), "start-up picture");
}

}  // namespace
}  // namespace lsg

#endif  // _WIN32
