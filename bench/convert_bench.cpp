// Save as JPG's conversion of a 1024 x 768 snapshot, against libjpeg alone encoding the
// same pixels with the same settings into memory: the difference is what reading the BMP,
// writing beside the target and replacing it cost.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "capture/bmp.h"
#include "save/convert_jpeg.h"
#include "save/file_io.h"

namespace lsg {
namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

std::vector<std::uint32_t> desktopPixels() {
  std::vector<std::uint32_t> p(static_cast<std::size_t>(kWidth) * kHeight);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      p[y * kWidth + x] = ((x / 4) & 255) << 16 | ((y / 3) & 255) << 8 | ((x ^ y) & 255);
  return p;
}

void BM_ConvertToJpeg(benchmark::State& state) {
  const std::vector<std::uint32_t> pixels = desktopPixels();
  const Picture bmp = encodeBmp(kWidth, kHeight, pixels.data(), kWidth);
  const std::string folder = tempFolderPath().value_or("");
  const std::string source = folder + "lsg-bench-source.bmp";
  const std::string target = folder + "lsg-bench-target.jpg";
  const std::span<const std::uint8_t> block = bmp.bytes();
  if (!writeBytesToFile(source, std::span(&block, 1)).ok) {
    state.SkipWithError("cannot write the source");
    return;
  }
  for (auto _ : state) {
    if (convertToJpeg(source, target, false, 80, true, 0) != 1)
      state.SkipWithError("conversion failed");
  }
  removeFile(source);
  removeFile(target);
}
BENCHMARK(BM_ConvertToJpeg)->Unit(benchmark::kMillisecond);

// The peer: libjpeg's encoder alone, quality 80, optimised Huffman tables, to memory.
void BM_LibjpegEncodeOnly(benchmark::State& state) {
  const std::vector<std::uint32_t> pixels = desktopPixels();
  std::vector<JSAMPLE> rgb(static_cast<std::size_t>(kWidth) * kHeight * 3);
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    rgb[3 * i] = static_cast<JSAMPLE>(pixels[i] >> 16);
    rgb[3 * i + 1] = static_cast<JSAMPLE>(pixels[i] >> 8);
    rgb[3 * i + 2] = static_cast<JSAMPLE>(pixels[i]);
  }
  for (auto _ : state) {
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
    cinfo.optimize_coding = TRUE;
    jpeg_set_quality(&cinfo, 80, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
      JSAMPROW row = rgb.data() + static_cast<std::size_t>(cinfo.next_scanline) * kWidth * 3;
      jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    benchmark::DoNotOptimize(size);
    std::free(out);
  }
}
BENCHMARK(BM_LibjpegEncodeOnly)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lsg
