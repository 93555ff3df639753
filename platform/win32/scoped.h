#pragma once

#include <windows.h>

#include <utility>

namespace lsg::win {

// One owner for a handle: move-only, released by its deleter. Copying is deleted because
// two owners would release it twice.
template <typename T, typename Deleter>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(T handle) : handle_(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, T{})) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(std::exchange(other.handle_, T{}));
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  T get() const { return handle_; }
  explicit operator bool() const { return valid(handle_); }
  T release() { return std::exchange(handle_, T{}); }
  void reset(T handle = T{}) {
    if (valid(handle_)) Deleter{}(handle_);
    handle_ = handle;
  }

 private:
  static bool valid(T h) {
    if constexpr (std::is_same_v<T, HANDLE>) return h && h != INVALID_HANDLE_VALUE;
    return h != T{};
  }
  T handle_{};
};

struct GdiObjectDeleter {
  void operator()(HGDIOBJ h) const { DeleteObject(h); }
};
struct DcDeleter {
  void operator()(HDC h) const { DeleteDC(h); }
};
struct MenuDeleter {
  void operator()(HMENU h) const { DestroyMenu(h); }
};
struct AcceleratorDeleter {
  void operator()(HACCEL h) const { DestroyAcceleratorTable(h); }
};

using UniqueBitmap = UniqueHandle<HBITMAP, GdiObjectDeleter>;
using UniqueBrush = UniqueHandle<HBRUSH, GdiObjectDeleter>;
using UniquePalette = UniqueHandle<HPALETTE, GdiObjectDeleter>;
using UniqueMemoryDc = UniqueHandle<HDC, DcDeleter>;
using UniqueMenu = UniqueHandle<HMENU, MenuDeleter>;
using UniqueAccelerators = UniqueHandle<HACCEL, AcceleratorDeleter>;

// GetDC / GetWindowDC paired with ReleaseDC.
class WindowDc {
 public:
  enum Area { Client, Whole };
  explicit WindowDc(HWND window, Area area = Client)
      : window_(window), dc_(area == Whole ? GetWindowDC(window) : GetDC(window)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// BeginPaint paired with EndPaint.
class PaintDc {
 public:
  explicit PaintDc(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  ~PaintDc() { EndPaint(window_, &paint_); }
  HDC get() const { return dc_; }
  const RECT& area() const { return paint_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// SelectObject with the previous object selected back.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;
  ~Selection() {
    if (previous_) SelectObject(dc_, previous_);
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace lsg::win
