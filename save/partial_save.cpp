#include "save/partial_save.h"

#include <cstdio>

namespace lsg {
namespace {

constexpr std::string_view kPrefix = "~蓝杉果截图-未完成的保存-";
constexpr std::string_view kSuffix = ".tmp";
constexpr std::size_t kIdDigits = 8;
constexpr std::size_t kSerialDigits = 4;

std::optional<std::uint32_t> lowerHex(std::string_view digits) {
  std::uint32_t value = 0;
  for (const char c : digits) {
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else {
      return std::nullopt;
    }
    value = value << 4 | static_cast<std::uint32_t>(digit);
  }
  return value;
}

}  // namespace

std::string partialSaveName(std::uint32_t processId, unsigned serial) {
  char numbers[24];
  std::snprintf(numbers, sizeof numbers, "%08x-%04x", static_cast<unsigned>(processId),
                serial & 0xFFFFu);
  return std::string(kPrefix) + numbers + std::string(kSuffix);
}

std::optional<std::uint32_t> partialSaveOwner(std::string_view name) {
  if (!name.starts_with(kPrefix) || !name.ends_with(kSuffix)) return std::nullopt;
  name.remove_prefix(kPrefix.size());
  name.remove_suffix(kSuffix.size());
  if (name.size() != kIdDigits + 1 + kSerialDigits || name[kIdDigits] != '-') return std::nullopt;
  if (!lowerHex(name.substr(kIdDigits + 1))) return std::nullopt;
  return lowerHex(name.substr(0, kIdDigits));
}

}  // namespace lsg
