#include "platform/win32/snapshot_win.h"

#include <array>
#include <cstring>
#include <new>
#include <optional>
#include <vector>

#include "capture/bmp.h"
#include "platform/win32/scoped.h"

namespace lsg::win {

namespace {

struct Source {
  HWND window = nullptr;  // null: the screen
  RECT rect{};            // screen coordinates
  int width() const { return rect.right - rect.left; }
  int height() const { return rect.bottom - rect.top; }
};

std::optional<Source> chooseSource(HWND window) {
  if (!window) {
    return Source{nullptr, {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}};
  }
  Source source{window};
  if (!IsWindow(window) || !GetWindowRect(window, &source.rect)) return std::nullopt;
  return source;
}

// Copies the source into `bitmap`, which is selected into `memory` only for the copy.
bool copyPixels(const Source& source, HDC screen, HDC from, HDC memory, HBITMAP bitmap) {
  const Selection selected(memory, bitmap);
  const int w = source.width();
  const int h = source.height();
  if (from && BitBlt(memory, 0, 0, w, h, from, 0, 0, SRCCOPY)) return true;
  // Some platforms refuse a window DC of another process's child control: the same
  // rectangle as the screen shows it still gives the pixels inside the frame.
  return source.window &&
         BitBlt(memory, 0, 0, w, h, screen, source.rect.left, source.rect.top, SRCCOPY);
}

// On a palette display the conversion maps through the system palette's first 255 entries;
// elsewhere through the stock palette. The previous palette goes back when this ends.
class ConversionPalette {
 public:
  explicit ConversionPalette(HDC screen) : screen_(screen) {
    HPALETTE chosen = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
    if (GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE) {
      constexpr WORD kEntries = 255;
      struct {
        WORD version;
        WORD count;
        std::array<PALETTEENTRY, kEntries> entries;
      } logical{0x300, kEntries, {}};
      GetSystemPaletteEntries(screen, 0, kEntries, logical.entries.data());
      own_.reset(CreatePalette(reinterpret_cast<const LOGPALETTE*>(&logical)));
      if (own_) chosen = own_.get();
    }
    previous_ = SelectPalette(screen, chosen, FALSE);
    RealizePalette(screen);
  }
  ConversionPalette(const ConversionPalette&) = delete;
  ConversionPalette& operator=(const ConversionPalette&) = delete;
  ~ConversionPalette() {
    if (previous_) SelectPalette(screen_, previous_, FALSE);
  }

 private:
  HDC screen_;
  UniquePalette own_;  // deleted after the destructor has selected the previous one back
  HPALETTE previous_ = nullptr;
};

BITMAPINFO infoFor(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // positive: bottom-up, the file's own row order
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

// The 24-bit rows GetDIBits writes are the file's pixel data as they stand, so they go
// straight into the file after its headers: only the device bitmap and the result exist.
Picture convert(HDC screen, HBITMAP bitmap, int width, int height) {
  const std::optional<std::size_t> fileSize = bmpFileSize(width, height);
  if (!fileSize) return {};
  const std::size_t stride = *bmpStride(width);
  const std::size_t imageSize = *fileSize - kBmpHeaderSize;

  const ConversionPalette palette(screen);
  BITMAPINFO info = infoFor(width, height);
  if (!GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), nullptr, &info, DIB_RGB_COLORS)) {
    return {};
  }
  // The platform may report a larger image than the rows need; never let it write past.
  const std::size_t reported = info.bmiHeader.biSizeImage;
  std::vector<std::uint8_t> file;
  try {
    file.resize(kBmpHeaderSize + (reported > imageSize ? reported : imageSize));
  } catch (const std::bad_alloc&) {
    return {};
  }
  info = infoFor(width, height);
  std::uint8_t* rows = file.data() + kBmpHeaderSize;
  if (GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), rows, &info, DIB_RGB_COLORS) !=
      height) {
    return {};
  }
  file.resize(*fileSize);
  // The file's pad bytes are zero whatever the conversion left there.
  const std::size_t used = std::size_t{3} * static_cast<std::size_t>(width);
  if (used != stride) {
    for (std::size_t y = 0; y < static_cast<std::size_t>(height); ++y) {
      std::memset(rows + y * stride + used, 0, stride - used);
    }
  }
  writeBmpHeaders(file, width, height);
  return Picture(std::move(file));
}

}  // namespace

Picture takeSnapshot(HWND window) {
  const std::optional<Source> source = chooseSource(window);
  if (!source || !bmpFileSize(source->width(), source->height())) return {};
  const WindowDc screen(nullptr);
  if (!screen) return {};
  std::optional<WindowDc> windowDc;
  if (window) windowDc.emplace(window, WindowDc::Whole);
  // Null when the window refused its device context; the copy then falls back to the screen.
  const HDC from = windowDc ? windowDc->get() : screen.get();
  const HDC like = from ? from : screen.get();

  UniqueMemoryDc memory(CreateCompatibleDC(like));
  UniqueBitmap bitmap(CreateCompatibleBitmap(like, source->width(), source->height()));
  if (!memory || !bitmap) return {};
  if (!copyPixels(*source, screen.get(), from, memory.get(), bitmap.get())) return {};
  return convert(screen.get(), bitmap.get(), source->width(), source->height());
}

}  // namespace lsg::win
