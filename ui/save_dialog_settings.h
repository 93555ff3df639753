#pragma once

// The plain logic of 主窗口's save dialog component 通用对话框: its settings, and
// what the Win32 side hands to the dialog call.

#include <cstdint>
#include <string>
#include <string_view>

namespace lsg {

struct SaveDialogSettings {
  std::string title = "保存图形文件";
  std::string filterText;      // "description|pattern|description|pattern..."
  int initialFilterIndex = 0;  // 0-based
  std::string initialFolder;
  std::string defaultExtension;
  std::string fileName;  // full path chosen last; pre-fills the name box
  bool promptToCreate = false;
  bool fileMustExist = true;
  bool confirmOverwrite = true;
  bool pathMustExist = true;
  bool keepCurrentFolder = false;
};

// The dialog's flag bits, with the numbers of the Win32 OFN_* constants so that the
// Win32 side passes the value through unchanged.
inline constexpr std::uint32_t kOfnOverwritePrompt = 0x2;
inline constexpr std::uint32_t kOfnHideReadOnly = 0x4;
inline constexpr std::uint32_t kOfnNoChangeDir = 0x8;
inline constexpr std::uint32_t kOfnPathMustExist = 0x800;
inline constexpr std::uint32_t kOfnFileMustExist = 0x1000;
inline constexpr std::uint32_t kOfnCreatePrompt = 0x2000;
inline constexpr std::uint32_t kOfnExplorer = 0x80000;
inline constexpr std::uint32_t kOfnEnableSizing = 0x800000;

// The filter list as the dialog wants it: white space stripped from the end, "||"
// appended unless already there, every '|' turned into '\0'. Empty (or blank) text
// gives an empty list. A '|' cannot be part of a multi-byte UTF-8 character, so a
// byte scan never splits one.
std::string buildFilterList(std::string_view filterText);

// The 1-based index the dialog selects first: the initial index + 1 (a negative index
// counts as 0) when there is a filter list, 0 when there is none.
int dialogFilterIndex(const SaveDialogSettings& settings, bool hasFilterList);

// The flags that the settings stand for.
std::uint32_t dialogFlags(const SaveDialogSettings& settings);

// The flags the save dialog is opened with: dialogFlags without OFN_FILEMUSTEXIST. A
// save dialog that applied it would refuse the name of every file that does not exist
// yet, and naming a new file is what the save commands need; the setting stays on.
std::uint32_t saveDialogFlags(const SaveDialogSettings& settings);

}  // namespace lsg
