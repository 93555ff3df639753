// The fatal path: a report that needs no memory, and nothing of the program running
// beneath the box.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

#include "capture/capture_commands.h"
#include "fake/allocations.h"
#include "fake/fake_program.h"
#include "fake/test_pictures.h"
#include "ui/fatal_message.h"

namespace lsg {
namespace {

TEST(FatalMessage, NamesTheSizeWithoutAllocating) {
  struct Case {
    std::size_t bytes;
    std::string text;
  };
  const Case cases[] = {
      {0, "内存不足：无法分配 0 字节"},
      {2359350, "内存不足：无法分配 2359350 字节"},
      {SIZE_MAX, "内存不足：无法分配 " + std::to_string(SIZE_MAX) + " 字节"},
  };
  for (const Case& c : cases) {
    std::array<char, kFatalMessageSize> buffer;
    const std::size_t before = fake::allocationsSoFar();
    const std::string_view message = outOfMemoryMessage(buffer, c.bytes);
    EXPECT_EQ(fake::allocationsSoFar(), before) << c.bytes;
    EXPECT_EQ(message, c.text);
  }
}

TEST(FatalMessage, IsCutShortInABufferTooSmall) {
  // The sanitizers catch a write past the end; the text is a prefix of the whole.
  for (std::size_t size : {0, 5, 30, 33}) {
    std::array<char, 40> buffer;
    const std::string_view message = outOfMemoryMessage(std::span(buffer).first(size), 12345);
    EXPECT_EQ(message.size(), size);
    EXPECT_EQ(std::string_view("内存不足：无法分配 12345 字节").substr(0, size), message);
  }
}

// The program with window capture running: 快照窗口's timer ticks and both windows are
// loaded, as when a tick's snapshot finds memory gone.
struct FatalPath : ::testing::Test {
  FatalPath() {
    p.screen.rects[kTarget] = {100, 50, 200, 120};
    p.screen.pictures[kTarget] = fake::blankBmp(200, 120);
    p.screen.under = kTarget;
    startWindowCapture(p.program);
    p.windows.tick(overlay());
  }
  Form& overlay() { return p.program.app.form("快照窗口"); }

  static constexpr WindowHandle kTarget = 0x9001;
  fake::FakeProgram p{fake::blankBmp(300, 200)};
};

TEST_F(FatalPath, AFailedAllocationStopsEveryTimerAndWindowBeforeTheBoxAndSkipsTheRelease) {
  Form& overlayForm = overlay();
  ASSERT_TRUE(p.windows.isVisible(overlayForm.handle())) << "the frame is up";
  const std::size_t before = fake::allocationsSoFar();
  try {
    p.program.app.outOfMemory(80054);
    FAIL() << "outOfMemory returned";
  } catch (const fake::FatalError& error) {
    EXPECT_STREQ(error.what(), "内存不足：无法分配 80054 字节");
  }
  const fake::AtFatal& seen = p.windows.atFatal;
  ASSERT_TRUE(seen.called);
  EXPECT_EQ(seen.allocations, before) << "the report allocated";
  EXPECT_EQ(seen.runningTimers, 0) << "a tick would run beneath the box";
  EXPECT_EQ(seen.enabledForms, 0) << "a click would reach a handler beneath the box";
  EXPECT_TRUE(p.program.app.halted());
  EXPECT_EQ(p.program.state.releases, 0);

  // Nothing ticks any more: the frame stays as it was.
  p.windows.tick(overlayForm);
  EXPECT_TRUE(p.windows.isVisible(overlayForm.handle()));
}

TEST_F(FatalPath, AnyOtherFatalErrorQuietsTheProgramTheSameWay) {
  EXPECT_THROW(overlay().canvas("没有"), fake::FatalError);
  EXPECT_EQ(p.windows.atFatal.runningTimers, 0);
  EXPECT_EQ(p.windows.atFatal.enabledForms, 0);
  EXPECT_EQ(p.program.state.releases, 0);
}

}  // namespace
}  // namespace lsg
