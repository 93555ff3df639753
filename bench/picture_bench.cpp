// BMP encoding, picture decoding and snapshot cropping at a 1024 x 768 screen's size.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

#include "capture/bmp.h"
#include "picture/decode.h"

namespace lsg {
namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

// Smooth gradients with some detail, closer to a desktop than noise or a flat fill.
const std::vector<std::uint32_t>& screenPixels() {
  static const std::vector<std::uint32_t> pixels = [] {
    std::vector<std::uint32_t> p(static_cast<std::size_t>(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        const std::uint32_t detail = ((x / 8 + y / 8) % 2) * 40;
        p[y * kWidth + x] = ((x / 4) & 255) << 16 | ((y / 3) & 255) << 8 | ((x + y + detail) & 255);
      }
    }
    return p;
  }();
  return pixels;
}

const Picture& screenBmp() {
  static const Picture bmp = encodeBmp(kWidth, kHeight, screenPixels().data(), kWidth);
  return bmp;
}

// The snapshot as save-as-JPG would write it: quality 80, 4:2:0.
const std::vector<std::uint8_t>& screenJpeg() {
  static const std::vector<std::uint8_t> jpeg = [] {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr error;
    cinfo.err = jpeg_std_error(&error);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = kWidth;
    cinfo.image_height = kHeight;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 80, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(kWidth * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
      const std::uint32_t* src = screenPixels().data() + cinfo.next_scanline * kWidth;
      for (int x = 0; x < kWidth; ++x) {
        row[3 * x] = static_cast<JSAMPLE>(src[x] >> 16);
        row[3 * x + 1] = static_cast<JSAMPLE>(src[x] >> 8);
        row[3 * x + 2] = static_cast<JSAMPLE>(src[x]);
      }
      JSAMPROW rows[1] = {row.data()};
      jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<std::uint8_t> bytes(out, out + size);
    std::free(out);
    return bytes;
  }();
  return jpeg;
}

void setBytes(benchmark::State& state, std::size_t bytesPerIteration) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytesPerIteration));
}

void BM_EncodeBmp(benchmark::State& state) {
  const auto& pixels = screenPixels();
  for (auto _ : state) {
    Picture bmp = encodeBmp(kWidth, kHeight, pixels.data(), kWidth);
    benchmark::DoNotOptimize(bmp);
  }
  setBytes(state, screenBmp().size());
}
BENCHMARK(BM_EncodeBmp)->Unit(benchmark::kMicrosecond);

void BM_DecodeBmp(benchmark::State& state) {
  const Picture& bmp = screenBmp();
  for (auto _ : state) {
    auto image = decodePicture(bmp.bytes());
    benchmark::DoNotOptimize(image);
  }
  setBytes(state, bmp.size());
}
BENCHMARK(BM_DecodeBmp)->Unit(benchmark::kMicrosecond);

void BM_DecodeJpeg(benchmark::State& state) {
  const auto& jpeg = screenJpeg();
  for (auto _ : state) {
    auto image = decodePicture(jpeg);
    benchmark::DoNotOptimize(image);
  }
  state.counters["jpeg_bytes"] = static_cast<double>(jpeg.size());
}
BENCHMARK(BM_DecodeJpeg)->Unit(benchmark::kMicrosecond);

void BM_MeasureJpeg(benchmark::State& state) {
  const Picture jpeg(screenJpeg().data(), screenJpeg().size());
  for (auto _ : state) benchmark::DoNotOptimize(pictureWidth(jpeg));
}
BENCHMARK(BM_MeasureJpeg)->Unit(benchmark::kMicrosecond);

void BM_MeasureBmp(benchmark::State& state) {
  const Picture& bmp = screenBmp();
  for (auto _ : state) benchmark::DoNotOptimize(pictureWidth(bmp));
}
BENCHMARK(BM_MeasureBmp);

// A region capture's typical cut: most of the screen, at an odd offset.
void BM_CropSnapshot(benchmark::State& state) {
  const Picture& bmp = screenBmp();
  const Rect region{37, 21, 801, 601};
  for (auto _ : state) {
    Picture part = cropSnapshot(bmp, region);
    benchmark::DoNotOptimize(part);
  }
  setBytes(state, *bmpFileSize(region.width, region.height));
}
BENCHMARK(BM_CropSnapshot)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace lsg
