// Which rectangle a window capture takes and where its pixels come from: the compositor's
// visible bounds, the window's own device context, and the screen when that copy is black.
#include <gtest/gtest.h>

#include <vector>

#include "capture/bmp.h"
#include "capture/capture_commands.h"
#include "fake/fake_program.h"
#include "fake/test_pictures.h"

namespace lsg {
namespace {

constexpr WindowHandle kWindow = 0x9001;

// Every pixel a function of its place, so a shifted or cropped copy shows at once.
Picture pattern(int width, int height, std::uint32_t seed) {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      pixels[static_cast<std::size_t>(y) * width + x] =
          (seed + static_cast<std::uint32_t>(x * 7 + y * 131)) & 0xFFFFFF;
  return encodeBmp(width, height, pixels.data(), static_cast<std::size_t>(width));
}

// A black picture with one pixel of another colour at (x, y), or none.
Picture blackBut(int width, int height, int x, int y) {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height, 0);
  if (x >= 0) pixels[static_cast<std::size_t>(y) * width + x] = 0x000100;
  return encodeBmp(width, height, pixels.data(), static_cast<std::size_t>(width));
}

TEST(AllBlack, FindsAnyPixelThatIsNotBlackAndIgnoresPadBytes) {
  struct Case {
    const char* what;
    Picture picture;
    bool black;
  };
  Picture padded = blackBut(37, 5, -1, -1);  // 111 pixel bytes and one pad byte a row
  std::vector<std::uint8_t> bytes(padded.bytes().begin(), padded.bytes().end());
  for (std::size_t row = 0; row < 5; ++row) bytes[kBmpHeaderSize + row * 112 + 111] = 0xFF;
  const Case cases[] = {
      {"all black", blackBut(37, 5, -1, -1), true},
      {"one pixel, the last the scan reaches", blackBut(37, 5, 36, 0), false},
      {"one pixel, the first", blackBut(37, 5, 0, 4), false},
      {"one pixel in the middle", blackBut(64, 64, 20, 30), false},
      {"pad bytes set", Picture(std::move(bytes)), true},
      {"one pixel wide", blackBut(1, 3, -1, -1), true},
      {"not a BMP", Picture(std::vector<std::uint8_t>(80, 0)), false},
      {"no picture", Picture(), false},
  };
  for (const Case& c : cases) EXPECT_EQ(isAllBlackBmp(c.picture), c.black) << c.what;
}

struct Snapshot : ::testing::Test {
  Snapshot() {
    // A top-level window whose outer rectangle holds invisible resize borders of 7 pixels
    // left, right and below its visible edges.
    p.screen.rects[kWindow] = {93, 50, 214, 127};
    p.screen.pictures[kWindow] = pattern(214, 127, 0x400000);
    p.screen.pictures[0] = pattern(1024, 768, 0x100000);
    p.screen.under = kWindow;
  }
  Form& overlay() { return p.program.app.form("快照窗口"); }
  Picture framedPicture() { return overlay().canvas("快照画板").picture(); }
  void showingTick() {
    startWindowCapture(p.program);
    p.windows.tick(overlay());
  }

  fake::FakeProgram p{fake::blankBmp(300, 200)};
};

TEST_F(Snapshot, FramesAndTakesATopLevelWindowAtItsVisibleBounds) {
  p.screen.visible[kWindow] = {100, 50, 200, 120};
  showingTick();
  EXPECT_EQ(p.program.state.pickRect, (std::array<std::int32_t, 4>{100, 50, 200, 120}));
  EXPECT_EQ(p.windowOf(overlay()).rect, (Rect{98, 48, 204, 124}));
  EXPECT_EQ(p.windowOf(overlay().canvas("快照画板")).rect, (Rect{2, 2, 200, 120}));
  // From the window's own device context, at the visible part's offset within it.
  EXPECT_EQ(p.screen.snapshots, (std::vector<WindowHandle>{kWindow}));
  EXPECT_EQ(p.screen.copied, (std::vector<Rect>{{7, 0, 200, 120}}));
  EXPECT_EQ(framedPicture(), cropSnapshot(p.screen.pictures[kWindow], {7, 0, 200, 120}));
}

TEST_F(Snapshot, WithoutReportedBoundsTakesTheOuterRectangle) {
  struct Case {
    const char* what;
    std::optional<Rect> visible;
  };
  const Case cases[] = {
      {"no compositor (a child control, Wine, Windows 7 basic)", std::nullopt},
      {"bounds beyond the window, not believed", Rect{90, 50, 220, 120}},
      {"empty bounds, not believed", Rect{100, 50, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fake::FakeProgram fresh{fake::blankBmp(300, 200)};
    fresh.screen.rects = p.screen.rects;
    fresh.screen.pictures = p.screen.pictures;
    fresh.screen.under = kWindow;
    if (c.visible) fresh.screen.visible[kWindow] = *c.visible;
    startWindowCapture(fresh.program);
    Form& shown = fresh.program.app.form("快照窗口");
    fresh.windows.tick(shown);
    EXPECT_EQ(fresh.program.state.pickRect, (std::array<std::int32_t, 4>{93, 50, 214, 127}));
    EXPECT_EQ(fresh.screen.copied, (std::vector<Rect>{{0, 0, 214, 127}}));
    EXPECT_EQ(shown.canvas("快照画板").picture(), fresh.screen.pictures[kWindow]);
  }
}

TEST_F(Snapshot, ABlackOrFailedCopyIsTakenAgainFromTheScreen) {
  const Rect visible{100, 50, 200, 120};
  const Picture fromScreen = cropSnapshot(p.screen.pictures[0], visible);
  // Its one pixel is the last of the copied part that the scan reaches.
  const Picture nearlyBlack = blackBut(214, 127, 206, 0);
  struct Case {
    const char* what;
    std::optional<Picture> windowGives;  // nullopt: the copy fails
    bool windowVisible;
    bool fromTheScreen;
  };
  const Case cases[] = {
      {"all black, visible: drawn by the graphics card", fake::blankBmp(214, 127), true, true},
      {"all black, hidden: black is what it holds", fake::blankBmp(214, 127), false, false},
      {"the copy failed", std::nullopt, true, true},
      {"the copy failed, hidden", std::nullopt, false, true},
      {"one pixel not black", nearlyBlack, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fake::FakeProgram fresh{fake::blankBmp(300, 200)};
    fresh.screen.rects = p.screen.rects;
    fresh.screen.visible[kWindow] = visible;
    fresh.screen.pictures[0] = p.screen.pictures[0];
    if (c.windowGives) fresh.screen.pictures[kWindow] = *c.windowGives;
    if (!c.windowVisible) fresh.screen.hidden.insert(kWindow);

    const Picture taken = fresh.screen.takeSnapshot(kWindow);
    if (c.fromTheScreen) {
      EXPECT_EQ(taken, fromScreen);
      EXPECT_EQ(fresh.screen.snapshots, (std::vector<WindowHandle>{kWindow, 0}));
      EXPECT_EQ(fresh.screen.copied, (std::vector<Rect>{{7, 0, 200, 120}, visible}));
    } else {
      EXPECT_EQ(taken, cropSnapshot(*c.windowGives, {7, 0, 200, 120}));
      EXPECT_EQ(fresh.screen.snapshots, (std::vector<WindowHandle>{kWindow}));
    }
  }
}

TEST_F(Snapshot, TheWholeScreenComesFromTheScreenAtItsSize) {
  EXPECT_EQ(p.screen.takeSnapshot(0), p.screen.pictures[0]);
  EXPECT_EQ(p.screen.copied, (std::vector<Rect>{{0, 0, 1024, 768}}));
  EXPECT_TRUE(p.screen.takeSnapshot(0x9999).empty()) << "not a window: nothing is copied";
  EXPECT_EQ(p.screen.copied.size(), 1u);
}

}  // namespace
}  // namespace lsg
