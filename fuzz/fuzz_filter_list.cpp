// The save dialog's filter list from arbitrary text: the list the dialog gets is the text
// without trailing white space, ends in two terminators and holds no '|'.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "ui/save_dialog_settings.h"

namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string list = lsg::buildFilterList(text);
  std::string_view kept = text;
  while (!kept.empty() && isBlank(kept.back())) kept.remove_suffix(1);
  if (kept.empty()) {
    if (!list.empty()) std::abort();
    return 0;
  }
  const bool closed = kept.ends_with("||");
  if (list.size() != kept.size() + (closed ? 0 : 2)) std::abort();
  if (list.find('|') != std::string::npos) std::abort();
  if (list[list.size() - 1] != '\0' || list[list.size() - 2] != '\0') std::abort();
  for (std::size_t i = 0; i < kept.size(); ++i) {
    if (list[i] != (kept[i] == '|' ? '\0' : kept[i])) std::abort();
  }
  return 0;
}
