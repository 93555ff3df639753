#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "picture/geometry.h"

namespace lsg::win {

// UTF-8 inside the program, UTF-16 at the Win32 boundary.
inline std::wstring widen(std::string_view text) {
  if (text.empty()) return {};
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
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
