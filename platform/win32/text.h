#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "picture/geometry.h"

namespace lsg::win {

// UTF-8 inside the program, UTF-16 at the Win32 boundary. Two rules for bytes that are
// not UTF-8: text that is only shown gets U+FFFD in their place, so the rest still reads;
// a path does not convert at all, because a guessed character would name another file.
namespace detail {
inline int widenInto(std::string_view text, DWORD flags, wchar_t* out, int size) {
  return MultiByteToWideChar(CP_UTF8, flags, text.data(), static_cast<int>(text.size()), out, size);
}
}  // namespace detail

// Display text (titles, captions, messages).
inline std::wstring widen(std::string_view text) {
  if (text.empty()) return {};
  const int n = detail::widenInto(text, 0, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) detail::widenInto(text, 0, wide.data(), n);
  return wide;
}

// A path: nullopt when it is not valid UTF-8; the empty path converts to the empty path.
inline std::optional<std::wstring> widenPath(std::string_view path) {
  if (path.empty()) return std::wstring();
  const int n = detail::widenInto(path, MB_ERR_INVALID_CHARS, nullptr, 0);
  if (n <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  detail::widenInto(path, MB_ERR_INVALID_CHARS, wide.data(), n);
  return wide;
}

inline std::string narrow(std::wstring_view text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), n,
                      nullptr, nullptr);
  return utf8;
}

inline RECT toRECT(const Rect& r) { return {r.left, r.top, r.right(), r.bottom()}; }
inline Rect fromRECT(const RECT& r) { return {r.left, r.top, r.right - r.left, r.bottom - r.top}; }

}  // namespace lsg::win
