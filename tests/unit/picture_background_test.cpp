// The background-picture state of canvases and windows: bytes, decoded cache, mode.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "capture/bmp.h"
#include "picture/background.h"

namespace lsg {
namespace {

using Kind = BackgroundPicture::Kind;

Picture smallBmp(std::uint32_t colour = 0x00123456) {
  const std::vector<std::uint32_t> pixels(6, colour);
  return encodeBmp(3, 2, pixels.data(), 3);
}

const Picture kUndecodable(std::vector<std::uint8_t>{'B', 'M', 1, 2, 3, 4, 5, 6, 7, 8});

TEST(PictureBackground, ReadGivesAnIndependentCopyOfWhatWasAssigned) {
  for (Kind kind : {Kind::Canvas, Kind::Window}) {
    BackgroundPicture background(kind);
    EXPECT_TRUE(background.read().empty());
    EXPECT_FALSE(background.hasBytes());
    EXPECT_EQ(background.decoded(), nullptr);

    Picture picture = smallBmp();
    const Picture original = picture;
    background.assign(picture);
    picture = Picture{};  // the caller releases its copy
    EXPECT_EQ(background.read(), original);
    EXPECT_TRUE(background.hasBytes());

    background.assign(Picture{});
    EXPECT_TRUE(background.read().empty());
    EXPECT_EQ(background.decoded(), nullptr);
  }
}

TEST(PictureBackground, DecodesOnceAndAgainAfterEveryAssignment) {
  BackgroundPicture background(Kind::Canvas);
  background.assign(smallBmp(0x00FF0000));
  const DecodedImage* first = background.decoded();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->width, 3);
  EXPECT_EQ(first->pixels[0], 0x00FF0000u);
  EXPECT_EQ(background.decoded(), first);  // kept between paints

  background.assign(smallBmp(0x000000FF));  // a new picture replaces the decoded one
  const DecodedImage* second = background.decoded();
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->pixels[0], 0x000000FFu);

  Picture moved = smallBmp(0x0000FF00);
  background.assign(std::move(moved));
  ASSERT_NE(background.decoded(), nullptr);
  EXPECT_EQ(background.decoded()->pixels[0], 0x0000FF00u);
}

TEST(PictureBackground, OnePictureOnTwoControlsIsDecodedOnceWhileEitherShowsIt) {
  const Picture shown = smallBmp(0x00FF0000);
  auto window = std::make_unique<BackgroundPicture>(Kind::Window);
  auto canvas = std::make_unique<BackgroundPicture>(Kind::Canvas);
  window->assign(shown);
  canvas->assign(shown);
  const DecodedImage* decoded = window->decoded();
  ASSERT_NE(decoded, nullptr);
  EXPECT_EQ(canvas->decoded(), decoded);

  window->assign(smallBmp(0x000000FF));  // the other control keeps what it shows
  ASSERT_EQ(canvas->decoded(), decoded);
  EXPECT_EQ(canvas->decoded()->pixels[0], 0x00FF0000u);
  EXPECT_EQ(window->decoded()->pixels[0], 0x000000FFu);

  // Once no control shows the bytes, their pixels go, though the bytes stay with `shown`.
  canvas.reset();
  window.reset();
  EXPECT_EQ(shown.sharedDecoded(), nullptr);
  BackgroundPicture again(Kind::Canvas);
  again.assign(shown);
  ASSERT_NE(again.decoded(), nullptr);
  EXPECT_EQ(again.decoded()->pixels[0], 0x00FF0000u);
}

// Copies share one buffer; since nothing writes to it, what a reader holds never changes,
// whatever the control does next (a new picture, or dropping bytes it cannot decode).
TEST(PictureBackground, ReadCopiesShareTheBytesAndNothingChangesThem) {
  BackgroundPicture canvas(Kind::Canvas);
  const Picture assigned = smallBmp();
  canvas.assign(assigned);
  const Picture read = canvas.read();
  EXPECT_EQ(read.bytes().data(), assigned.bytes().data());
  canvas.assign(kUndecodable);
  const Picture undecodable = canvas.read();
  EXPECT_EQ(canvas.decoded(), nullptr);  // the canvas drops its bytes
  EXPECT_EQ(read, smallBmp());
  EXPECT_EQ(undecodable, kUndecodable);
}

TEST(PictureBackground, CanvasDropsUndecodableBytesAtItsFirstPaint) {
  BackgroundPicture canvas(Kind::Canvas);
  canvas.assign(kUndecodable);
  EXPECT_EQ(canvas.read(), kUndecodable);  // nothing is decoded on assignment
  EXPECT_EQ(canvas.decoded(), nullptr);
  EXPECT_TRUE(canvas.read().empty());
  EXPECT_FALSE(canvas.hasBytes());
}

TEST(PictureBackground, WindowKeepsUndecodableBytesAndTriesAgain) {
  BackgroundPicture window(Kind::Window);
  window.assign(kUndecodable);
  EXPECT_EQ(window.decoded(), nullptr);
  EXPECT_EQ(window.decoded(), nullptr);
  EXPECT_EQ(window.read(), kUndecodable);
  EXPECT_TRUE(window.hasBytes());
  window.assign(smallBmp());
  EXPECT_NE(window.decoded(), nullptr);
}

TEST(PictureBackground, ModeIsClampedByKindAndReportsAChange) {
  BackgroundPicture canvas(Kind::Canvas);
  EXPECT_EQ(canvas.mode(), 0);
  EXPECT_TRUE(canvas.setMode(7));
  EXPECT_EQ(canvas.mode(), 2);
  EXPECT_FALSE(canvas.setMode(2));  // the same stored value: a canvas does not repaint
  EXPECT_FALSE(canvas.setMode(3));
  EXPECT_TRUE(canvas.setMode(-1));
  EXPECT_EQ(canvas.mode(), 0);

  BackgroundPicture window(Kind::Window);
  EXPECT_TRUE(window.setMode(3));
  EXPECT_EQ(window.mode(), 3);
  EXPECT_FALSE(window.setMode(99));
  EXPECT_EQ(window.mode(), 3);
  EXPECT_TRUE(window.setMode(1));
  EXPECT_EQ(window.mode(), 1);
}

TEST(PictureBackground, ModeAndColourLeaveTheDecodedPictureAlone) {
  BackgroundPicture canvas(Kind::Canvas);
  canvas.assign(smallBmp());
  const DecodedImage* decoded = canvas.decoded();
  canvas.setMode(1);
  EXPECT_EQ(canvas.decoded(), decoded);
}

}  // namespace
}  // namespace lsg
