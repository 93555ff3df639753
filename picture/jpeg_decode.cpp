#include "picture/jpeg_decode.h"

#include <algorithm>
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <limits>
#include <new>
#include <vector>

#include <jpeglib.h>

#include "picture/jpeg_errors.h"
#include "picture/jpeg_limits.h"

#ifndef JCS_EXTENSIONS
#error "decoding straight into 0x00RRGGBB rows needs libjpeg-turbo's JCS_EXT_BGRX"
#endif

namespace lsg {

namespace {

// Where decoded rows go. It lives outside the function that holds the setjmp, so that no
// object owning memory sits between setjmp and a longjmp.
class RowSink {
 public:
  // libjpeg decodes at 1 / scale of the picture's size (1, or 8 for just the block means).
  virtual unsigned scale() const = 0;
  // Called once libjpeg has read the whole stream and allocated what it needs, with the
  // picture's size and the width of the rows it hands over; the first row's address, or
  // nullptr to refuse.
  virtual std::uint32_t* start(Size picture, int rowWidth) noexcept = 0;
  // Pixels from one row to the next; 0 makes every row land on the first.
  virtual std::size_t pitch() const = 0;

 protected:
  ~RowSink() = default;
};

class ImageSink final : public RowSink {
 public:
  explicit ImageSink(DecodedImage& image) : image_(image) {}
  unsigned scale() const override { return 1; }
  std::uint32_t* start(Size picture, int) noexcept override {
    try {
      image_.pixels.resize(static_cast<std::size_t>(picture.width) * picture.height);
    } catch (const std::bad_alloc&) {
      return nullptr;  // too large for the memory left: undecodable, never fatal
    }
    image_.width = picture.width;
    image_.height = picture.height;
    return image_.pixels.data();
  }
  std::size_t pitch() const override { return static_cast<std::size_t>(image_.width); }

 private:
  DecodedImage& image_;
};

class MeasureSink final : public RowSink {
 public:
  unsigned scale() const override { return 8; }
  std::uint32_t* start(Size picture, int rowWidth) noexcept override {
    try {
      row_.resize(static_cast<std::size_t>(rowWidth));
    } catch (const std::bad_alloc&) {
      return nullptr;
    }
    size_ = picture;
    return row_.data();
  }
  std::size_t pitch() const override { return 0; }
  Size size() const { return size_; }

 private:
  std::vector<std::uint32_t> row_;
  Size size_;
};

// Rows handed to libjpeg per call; several at once spare it a copy through its own row
// buffer when it upsamples two rows together.
constexpr int kRowsPerCall = 16;

// Everything that touches libjpeg, and the setjmp that its errors return to. Only
// trivially destructible locals live here.
bool decompress(std::span<const std::uint8_t> bytes, RowSink& sink) {
  if (bytes.size() > std::numeric_limits<unsigned long>::max()) return false;
  jpeg_decompress_struct cinfo;
  JpegErrorManager error;
  JpegScanLimit scanLimit;
  cinfo.err = useJpegErrorManager(error);
  if (setjmp(error.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  limitJpegDecoder(cinfo, scanLimit);
  jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
  bool ok = jpeg_read_header(&cinfo, TRUE) == JPEG_HEADER_OK && jpegHeaderAccepted(cinfo);
  std::uint32_t* first = nullptr;
  if (ok) {
    // libjpeg-turbo writes B, G, R, X: the 0x00RRGGBB word but for X, which it leaves
    // undefined and which is cleared below.
    cinfo.out_color_space = JCS_EXT_BGRX;
    cinfo.scale_num = 1;
    cinfo.scale_denom = sink.scale();
    // A progressive stream is read to its end here, within the memory and scan limits,
    // before this program allocates anything of its own.
    jpeg_start_decompress(&cinfo);
    const Size picture{static_cast<int>(cinfo.image_width), static_cast<int>(cinfo.image_height)};
    first = sink.start(picture, static_cast<int>(cinfo.output_width));
    ok = first != nullptr;
  }
  if (ok) {
    const std::size_t pitch = sink.pitch();
    const std::size_t width = cinfo.output_width;
    JSAMPROW rows[kRowsPerCall];
    while (cinfo.output_scanline < cinfo.output_height) {
      const JDIMENSION top = cinfo.output_scanline;
      const JDIMENSION want = std::min<JDIMENSION>(kRowsPerCall, cinfo.output_height - top);
      for (JDIMENSION i = 0; i < want; ++i) {
        rows[i] = reinterpret_cast<JSAMPROW>(first + pitch * (top + i));
      }
      const JDIMENSION got = jpeg_read_scanlines(&cinfo, rows, want);
      for (JDIMENSION r = 0; r < got; ++r) {
        auto* row = reinterpret_cast<std::uint32_t*>(rows[r]);
        for (std::size_t x = 0; x < width; ++x) row[x] &= 0x00FFFFFF;
      }
      if (got == 0) break;  // a memory source never suspends; guard against a stall anyway
    }
    ok = cinfo.output_scanline == cinfo.output_height;
  }
  jpeg_destroy_decompress(&cinfo);
  return ok;
}

}  // namespace

std::optional<DecodedImage> decodeJpeg(std::span<const std::uint8_t> bytes) {
  DecodedImage image;
  ImageSink sink(image);
  if (!decompress(bytes, sink)) return {};
  return image;
}

std::optional<Size> measureJpeg(std::span<const std::uint8_t> bytes) {
  MeasureSink sink;
  if (!decompress(bytes, sink)) return {};
  return sink.size();
}

}  // namespace lsg
