// The component rules the handlers rely on: moves, scroll bars, picture modes.
#include <gtest/gtest.h>

#include "fake/fake_program.h"
#include "ui/move.h"
#include "ui/scroll_model.h"

namespace lsg {
namespace {

TEST(Move, KeepsOmittedAndMinusOneEmptiesOtherNegativesAndClampsCorners) {
  const Rect current{10, 20, 30, 40};
  struct Case {
    Move move;
    Rect expected;
  };
  const Case cases[] = {
      {{}, current},
      {{.left = 5}, {5, 20, 30, 40}},
      {{.top = -7}, {10, -7, 30, 40}},
      {{1, 2, 3, 4}, {1, 2, 3, 4}},
      {{1, 2, -1, -1}, {1, 2, 30, 40}},
      {{1, 2, -2, 5}, {1, 2, 0, 5}},
      {{1, 2, 5, -100}, {1, 2, 5, 0}},
      {{.left = 40000, .top = -40000}, {32627, -32627, 30, 40}},
      {{.left = 32767}, {32627, 20, 30, 40}},
  };
  for (const Case& c : cases) EXPECT_EQ(applyMove(current, c.move), c.expected);
}

TEST(Move, ToTheCurrentRectangleDoesNotReachThePlatform) {
  fake::FakeProgram p;
  Canvas& canvas = p.mainWindow().canvas("画板1");
  const int before = p.windowOf(canvas).moves;
  canvas.move({1, 1, 597, 440});
  canvas.move({.width = -1});
  EXPECT_EQ(p.windowOf(canvas).moves, before);
  canvas.setLeft(-5);
  EXPECT_EQ(p.windowOf(canvas).moves, before + 1);
  EXPECT_EQ(p.windowOf(canvas).rect, (Rect{-5, 1, 597, 440}));
}

TEST(ScrollModel, ActionsMoveWithinTheRange) {
  struct Case {
    ScrollAction action;
    int thumb;
    std::optional<int> expected;
  };
  // Range 1..10, position 5, line step 1, page step 3.
  const Case cases[] = {
      {ScrollAction::LineUp, 0, 4},
      {ScrollAction::LineDown, 0, 6},
      {ScrollAction::PageUp, 0, 2},
      {ScrollAction::PageDown, 0, 8},
      {ScrollAction::ThumbPosition, 9, 9},
      {ScrollAction::ThumbTrack, 7, 7},
      {ScrollAction::ThumbPosition, 99, 10},
      {ScrollAction::ThumbTrack, -3, 1},
      {ScrollAction::Top, 0, 1},
      {ScrollAction::Bottom, 0, 10},
      {ScrollAction::EndScroll, 3, std::nullopt},
      {ScrollAction::ThumbPosition, 5, std::nullopt},
  };
  for (const Case& c : cases) {
    ScrollModel m;
    m.setMinimum(1);
    m.setMaximum(10);
    m.setPosition(5);
    m.setPageStep(3);
    EXPECT_EQ(m.act(c.action, c.thumb), c.expected) << static_cast<int>(c.action);
  }
}

TEST(ScrollModel, ClampsSettingsAndShowsTheThumbInsideTheRange) {
  ScrollModel m;
  m.setMinimum(-5);
  m.setMaximum(40000);
  EXPECT_EQ(m.minimum(), 0);
  EXPECT_EQ(m.maximum(), 32767);
  m.setMinimum(50);
  m.setMaximum(10);  // reversed: the platform gets 10..50
  EXPECT_EQ(m.low(), 10);
  EXPECT_EQ(m.high(), 50);
  m.setPosition(3);  // stored as written, shown clamped
  EXPECT_EQ(m.position(), 3);
  EXPECT_EQ(m.thumbPosition(), 10);
  m.setLineStep(0);
  EXPECT_EQ(m.act(ScrollAction::LineDown, 0), 10);  // a step of 0 counts as 1: 3 + 1, clamped
  ScrollModel tracking;
  tracking.setThumbTracking(false);
  EXPECT_EQ(tracking.act(ScrollAction::ThumbTrack, 50), std::nullopt);
}

TEST(ScrollBar, RaisesOneEventPerChangeAndNoneForPropertyWrites) {
  fake::FakeProgram p;
  ScrollBar& bar = p.mainWindow().scrollBar("横向滚动条");
  bar.setEnabled(true);
  bar.setPosition(1);
  bar.setMaximum(5);
  Canvas& canvas = p.mainWindow().canvas("画板1");
  EXPECT_EQ(canvas.rect().left, 1) << "property writes must not scroll";

  bar.userAction(ScrollAction::LineDown, 0);
  EXPECT_EQ(canvas.rect().left, -2);
  EXPECT_EQ(p.windowOf(bar).scrollPosition, 2);
  bar.userAction(ScrollAction::ThumbTrack, 4);
  bar.userAction(ScrollAction::ThumbPosition, 4);  // release where tracking left it: nothing
  EXPECT_EQ(canvas.rect().left, -4);
  const int moves = p.windowOf(canvas).moves;
  bar.userAction(ScrollAction::Bottom, 0);
  bar.userAction(ScrollAction::LineDown, 0);  // already at the maximum
  EXPECT_EQ(p.windowOf(canvas).moves, moves + 1);

  bar.setEnabled(false);
  bar.userAction(ScrollAction::Top, 0);
  EXPECT_EQ(bar.position(), 5) << "a disabled scroll bar takes no input";
}

TEST(Canvas, PictureModeIsClampedAndRepaintsOnlyOnChange) {
  fake::FakeProgram p;
  Canvas& canvas = p.mainWindow().canvas("画板1");
  canvas.setPictureMode(7);
  EXPECT_EQ(canvas.pictureMode(), 2);
  const int paints = p.windowOf(canvas).invalidations;
  canvas.setPictureMode(2);
  EXPECT_EQ(p.windowOf(canvas).invalidations, paints);
  canvas.setPictureMode(-1);
  EXPECT_EQ(canvas.pictureMode(), 0);
  EXPECT_EQ(p.windowOf(canvas).invalidations, paints + 1);
}

TEST(Canvas, AssignedPictureIsACopyAndReadsBackEqual) {
  fake::FakeProgram p;
  Canvas& canvas = p.mainWindow().canvas("画板1");
  Picture bytes(std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6, 7});
  canvas.setPicture(bytes);
  EXPECT_EQ(canvas.picture(), bytes);
  const int paints = p.windowOf(canvas).invalidations;
  canvas.setPicture(bytes);  // the same bytes again still repaint
  EXPECT_EQ(p.windowOf(canvas).invalidations, paints + 1);
  canvas.setPicture({});
  EXPECT_TRUE(canvas.picture().empty());
}

}  // namespace
}  // namespace lsg
