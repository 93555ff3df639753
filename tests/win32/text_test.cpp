#include "platform/win32/text.h"

#include <gtest/gtest.h>

#include <string>

#include "save/file_io.h"

namespace lsg::win {
namespace {

// "截图" followed by a lone continuation byte and a truncated three-byte sequence.
const std::string kBroken = "\xE6\x88\xAA\xE5\x9B\xBE-\x80-\xE6\x88";

TEST(Win32Text, ValidUtf8ConvertsTheSameForDisplayAndForPaths) {
  const std::string text = "截图 C:\\文件夹\\a.bmp";
  const std::wstring expected = L"截图 C:\\文件夹\\a.bmp";
  EXPECT_EQ(widen(text), expected);
  EXPECT_EQ(widenPath(text), expected);
  EXPECT_EQ(narrow(expected), text);
  EXPECT_EQ(widenPath(""), std::wstring());
}

TEST(Win32Text, DisplayTextShowsTheReplacementCharacterForBytesThatAreNotUtf8) {
  const std::wstring wide = widen(kBroken);
  EXPECT_EQ(wide.substr(0, 3), L"截图-");
  EXPECT_NE(wide.find(L'\xFFFD'), std::wstring::npos) << "the bad bytes vanished";
  EXPECT_EQ(wide.find(L'\xFFFD'), 3u);
}

TEST(Win32Text, APathThatIsNotUtf8IsAnErrorAndNoFileIsTouched) {
  EXPECT_FALSE(widenPath(kBroken).has_value());
  const std::string path = "\xFF.bmp";
  const std::uint8_t byte = 1;
  const std::span<const std::uint8_t> block(&byte, 1);
  EXPECT_FALSE(writeBytesToFile(path, {&block, 1}).ok);
  EXPECT_FALSE(writeScratchFile(path, {&block, 1}).ok);
  EXPECT_EQ(openFile(path, "rb"), nullptr);
  EXPECT_FALSE(fileExists(path));
}

}  // namespace
}  // namespace lsg::win
