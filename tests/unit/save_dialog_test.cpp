#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "ui/save_dialog_settings.h"

#ifdef _WIN32
#include <windows.h>

#include <commdlg.h>
// The Win32 side hands dialogFlags to the dialog unchanged, so the numbers must agree.
static_assert(lsg::kOfnOverwritePrompt == OFN_OVERWRITEPROMPT);
static_assert(lsg::kOfnHideReadOnly == OFN_HIDEREADONLY);
static_assert(lsg::kOfnNoChangeDir == OFN_NOCHANGEDIR);
static_assert(lsg::kOfnPathMustExist == OFN_PATHMUSTEXIST);
static_assert(lsg::kOfnFileMustExist == OFN_FILEMUSTEXIST);
static_assert(lsg::kOfnCreatePrompt == OFN_CREATEPROMPT);
static_assert(lsg::kOfnExplorer == OFN_EXPLORER);
static_assert(lsg::kOfnEnableSizing == OFN_ENABLESIZING);
#endif

namespace lsg {
namespace {

using namespace std::string_literals;

TEST(SaveDialogFilterList, SeparatorsBecomeNulsWithADoubleEnd) {
  const struct {
    std::string text;
    std::string list;
  } cases[] = {
      {"BMP位图文件|*.bmp", "BMP位图文件\0*.bmp\0\0"s},
      {"JPG图形文件|*.jpg", "JPG图形文件\0*.jpg\0\0"s},
      {"JPG图形文件|*.jpg \t\r\n", "JPG图形文件\0*.jpg\0\0"s},
      {"A|*.a|B|*.b", "A\0*.a\0B\0*.b\0\0"s},
      {"A|*.a||", "A\0*.a\0\0"s},  // already ends the list: nothing appended
      {"A|*.a|", "A\0*.a\0\0\0"s},
      {"", ""},
      {" \t\n", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(buildFilterList(c.text), c.list) << "filter text \"" << c.text << '"';
  }
}

TEST(SaveDialogFilterList, ChineseDescriptionKeepsEveryByte) {
  // 位 and 图 contain no '|' byte in UTF-8; the entry's description must come back whole.
  const std::string list = buildFilterList("BMP位图文件|*.bmp");
  EXPECT_EQ(std::string(list.c_str()), "BMP位图文件");
  EXPECT_EQ(std::string(list.c_str() + list.find('\0') + 1), "*.bmp");
}

TEST(SaveDialogFilterIndex, OneBasedWithNegativeAsFirstAndZeroWithoutList) {
  const struct {
    int initial;
    bool hasList;
    int expected;
  } cases[] = {
      {0, true, 1},  {2, true, 3},  {-1, true, 1}, {INT_MIN, true, 1}, {INT_MAX, true, INT_MAX},
      {0, false, 0}, {3, false, 0},
  };
  for (const auto& c : cases) {
    SaveDialogSettings settings;
    settings.initialFilterIndex = c.initial;
    EXPECT_EQ(dialogFilterIndex(settings, c.hasList), c.expected)
        << "initial " << c.initial << ", list " << c.hasList;
  }
}

TEST(SaveDialogFlags, MainWindowSettingsGiveTheDocumentedSet) {
  const SaveDialogSettings settings;
  EXPECT_EQ(settings.title, "保存图形文件");
  EXPECT_EQ(dialogFlags(settings), kOfnHideReadOnly | kOfnFileMustExist | kOfnOverwritePrompt |
                                       kOfnPathMustExist | kOfnExplorer | kOfnEnableSizing);
}

TEST(SaveDialogFlags, EachSettingControlsOnlyItsOwnFlag) {
  const struct {
    bool SaveDialogSettings::*setting;
    std::uint32_t flag;
  } cases[] = {
      {&SaveDialogSettings::promptToCreate, kOfnCreatePrompt},
      {&SaveDialogSettings::fileMustExist, kOfnFileMustExist},
      {&SaveDialogSettings::confirmOverwrite, kOfnOverwritePrompt},
      {&SaveDialogSettings::pathMustExist, kOfnPathMustExist},
      {&SaveDialogSettings::keepCurrentFolder, kOfnNoChangeDir},
  };
  constexpr std::uint32_t always = kOfnHideReadOnly | kOfnExplorer | kOfnEnableSizing;
  for (const auto& c : cases) {
    SaveDialogSettings off;
    off.fileMustExist = off.confirmOverwrite = off.pathMustExist = false;
    SaveDialogSettings on = off;
    on.*c.setting = true;
    EXPECT_EQ(dialogFlags(off), always);
    EXPECT_EQ(dialogFlags(on), always | c.flag) << "flag " << c.flag;
  }
}

TEST(SaveDialogFlags, TheSaveDialogOpensWithoutFileMustExistWhileTheSettingStaysOn) {
  const SaveDialogSettings mainWindow;
  ASSERT_TRUE(mainWindow.fileMustExist);
  // Nothing else either: no hook flag (0x20), which would give the old-style dialog.
  EXPECT_EQ(saveDialogFlags(mainWindow), kOfnHideReadOnly | kOfnOverwritePrompt |
                                             kOfnPathMustExist | kOfnExplorer | kOfnEnableSizing);
  EXPECT_TRUE(mainWindow.fileMustExist);

  // Every other setting still reaches the dialog.
  SaveDialogSettings all;
  all.promptToCreate = all.keepCurrentFolder = true;
  SaveDialogSettings none;
  none.fileMustExist = none.confirmOverwrite = none.pathMustExist = false;
  for (const auto& settings : {mainWindow, all, none}) {
    EXPECT_EQ(saveDialogFlags(settings), dialogFlags(settings) & ~kOfnFileMustExist);
  }
}

}  // namespace
}  // namespace lsg
