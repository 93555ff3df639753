// Save as JPG's conversion of a screen-like 1920 x 1080 snapshot, in-process, against its
// parts' peers: the whole convertToJpeg (read the file, encode, write beside the target and
// replace it) against libjpeg alone encoding the same pixels from memory into memory with
// the same settings; and the BMP reader against a memcpy of the file's size.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "bench/peer_encode.h"
#include "bench/screen_like.h"
#include "save/convert_jpeg.h"
#include "save/file_io.h"
#include "save/image_readers.h"

namespace lsg {
namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

const std::vector<std::uint8_t>& screenBmp() {
  static const std::vector<std::uint8_t> bmp = bench::screenLikeBmp(kWidth, kHeight);
  return bmp;
}

// The BMP written once to the temporary folder; removed when the program ends.
struct SourceFile {
  SourceFile() {
    const std::span<const std::uint8_t> block = screenBmp();
    ok = writeBytesToFile(path, std::span(&block, 1)).ok;
  }
  ~SourceFile() {
    removeFile(path);
    removeFile(target);
  }
  std::string path = tempFolderPath().value_or("") + "lsg-bench-source.bmp";
  std::string target = tempFolderPath().value_or("") + "lsg-bench-target.jpg";
  bool ok = false;
};

const SourceFile& sourceFile() {
  static const SourceFile file;
  return file;
}

void BM_ConvertToJpeg(benchmark::State& state) {
  const SourceFile& file = sourceFile();
  if (!file.ok) return state.SkipWithError("cannot write the source");
  for (auto _ : state) {
    if (convertToJpeg(file.path, file.target, false, 80, true, 0) != kJpegWritten) {
      state.SkipWithError("conversion failed");
    }
  }
}
BENCHMARK(BM_ConvertToJpeg)->Unit(benchmark::kMillisecond);

// The peer: libjpeg's encoder alone on the BMP's own rows in memory, same settings.
void BM_EncodeOnly(benchmark::State& state) {
  const std::vector<std::uint8_t>& bmp = screenBmp();
  const std::size_t stride = (std::size_t{kWidth} * 3 + 3) & ~std::size_t{3};
  std::vector<JSAMPROW> rows(kHeight);
  for (int y = 0; y < kHeight; ++y) {
    rows[y] = const_cast<JSAMPROW>(bmp.data() + 54 + stride * (kHeight - 1 - y));
  }
  for (auto _ : state) {
    unsigned long size = 0;
    unsigned char* out = lsg::bench::encodePeer(rows.data(), kWidth, kHeight, size);
    benchmark::DoNotOptimize(size);
    std::free(out);
  }
}
BENCHMARK(BM_EncodeOnly)->Unit(benchmark::kMillisecond);

void BM_ReadBmp(benchmark::State& state) {
  const SourceFile& file = sourceFile();
  if (!file.ok) return state.SkipWithError("cannot write the source");
  for (auto _ : state) {
    ConversionImage image;
    if (!readBmpFile(file.path, image, PixelOrder::Bgr)) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(image.first);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * screenBmp().size()));
}
BENCHMARK(BM_ReadBmp)->Unit(benchmark::kMicrosecond);

// The peer: copying the file's bytes once into fresh memory, as the reader's one read does.
void BM_MemcpyFileSize(benchmark::State& state) {
  const std::vector<std::uint8_t>& bmp = screenBmp();
  for (auto _ : state) {
    std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[bmp.size()]);
    std::memcpy(copy.get(), bmp.data(), bmp.size());
    benchmark::DoNotOptimize(copy.get());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bmp.size()));
}
BENCHMARK(BM_MemcpyFileSize)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace lsg
