#include "ui/save_dialog_settings.h"

#include <algorithm>
#include <climits>

namespace lsg {
namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

}  // namespace

std::string buildFilterList(std::string_view filterText) {
  while (!filterText.empty() && isBlank(filterText.back())) filterText.remove_suffix(1);
  if (filterText.empty()) return {};
  std::string list(filterText);
  if (!list.ends_with("||")) list += "||";
  std::replace(list.begin(), list.end(), '|', '\0');
  return list;
}

int dialogFilterIndex(const SaveDialogSettings& settings, bool hasFilterList) {
  if (!hasFilterList) return 0;
  if (settings.initialFilterIndex == INT_MAX) return INT_MAX;
  return std::max(settings.initialFilterIndex, 0) + 1;
}

std::uint32_t dialogFlags(const SaveDialogSettings& settings) {
  std::uint32_t flags = kOfnHideReadOnly | kOfnExplorer | kOfnEnableSizing;
  if (settings.promptToCreate) flags |= kOfnCreatePrompt;
  if (settings.fileMustExist) flags |= kOfnFileMustExist;
  if (settings.confirmOverwrite) flags |= kOfnOverwritePrompt;
  if (settings.pathMustExist) flags |= kOfnPathMustExist;
  if (settings.keepCurrentFolder) flags |= kOfnNoChangeDir;
  return flags;
}

std::uint32_t saveDialogFlags(const SaveDialogSettings& settings) {
  return dialogFlags(settings) & ~kOfnFileMustExist;
}

}  // namespace lsg
