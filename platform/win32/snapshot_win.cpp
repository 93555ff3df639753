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

// Copies `area` of `source` (in its own coordinates) into a device bitmap and converts it.
Picture copyFrom(HDC source, HDC screen, Rect area) {
  if (!bmpFileSize(area.width, area.height)) return {};
  UniqueMemoryDc memory(CreateCompatibleDC(source));
  UniqueBitmap bitmap(CreateCompatibleBitmap(source, area.width, area.height));
  if (!memory || !bitmap) return {};
  {
    const Selection selected(memory.get(), bitmap.get());
    if (!BitBlt(memory.get(), 0, 0, area.width, area.height, source, area.left, area.top,
                SRCCOPY)) {
      return {};
    }
  }
  return convert(screen, bitmap.get(), area.width, area.height);
}

}  // namespace

Picture copyFromWindow(HWND window, Rect area) {
  if (!IsWindow(window)) return {};
  const WindowDc screen(nullptr);
  const WindowDc own(window, WindowDc::Whole);
  if (!screen || !own) return {};
  return copyFrom(own.get(), screen.get(), area);
}

Picture copyFromScreen(Rect area) {
  const WindowDc screen(nullptr);
  if (!screen) return {};
  return copyFrom(screen.get(), screen.get(), area);
}

}  // namespace lsg::win
