#include "ui/fatal_message.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <iterator>

namespace lsg {

namespace {

// Appends as much of `text` as fits; the position after it.
std::size_t append(std::span<char> buffer, std::size_t at, std::string_view text) {
  const std::size_t n = std::min(text.size(), buffer.size() - at);
  std::memcpy(buffer.data() + at, text.data(), n);
  return at + n;
}

}  // namespace

std::string_view outOfMemoryMessage(std::span<char> buffer, std::size_t bytes) {
  char digits[24];  // 20 digits hold any 64-bit size
  const auto end = std::to_chars(std::begin(digits), std::end(digits), bytes).ptr;
  std::size_t at = append(buffer, 0, "内存不足：无法分配 ");
  at = append(buffer, at, {digits, static_cast<std::size_t>(end - digits)});
  at = append(buffer, at, " 字节");
  return {buffer.data(), at};
}

}  // namespace lsg
