#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace lsg {

// Room enough for every fatal report the program makes.
inline constexpr std::size_t kFatalMessageSize = 256;

// The report of a failed allocation of `bytes`, written into `buffer` without allocating:
// it is made when memory has run out. Cut short only if the buffer is too small.
std::string_view outOfMemoryMessage(std::span<char> buffer, std::size_t bytes);

}  // namespace lsg
