// What a paint costs the program itself, before GDI: finding the decoded picture (made once
// per assignment) and placing the copies that meet the update area.

#include <benchmark/benchmark.h>

#include <vector>

#include "capture/bmp.h"
#include "picture/background.h"
#include "picture/placement.h"

namespace lsg {
namespace {

// The worst tiling in the program: a 37 x 36 picture tiled over a whole 1024 x 768 client
// area, for a full repaint and for a small exposed strip.
void BM_PlaceTiles(benchmark::State& state) {
  const Rect update = state.range(0) ? Rect{0, 0, 1024, 768} : Rect{500, 300, 64, 20};
  for (auto _ : state) {
    std::vector<Rect> copies = placePicture(1, {37, 36}, {1024, 768}, update);
    benchmark::DoNotOptimize(copies);
  }
}
BENCHMARK(BM_PlaceTiles)->Arg(1)->Arg(0);

// Every paint after the first finds the decoded picture ready.
void BM_RepaintLooksUpDecoded(benchmark::State& state) {
  const std::vector<std::uint32_t> pixels(1024 * 768, 0x00336699);
  BackgroundPicture background(BackgroundPicture::Kind::Canvas);
  background.assign(encodeBmp(1024, 768, pixels.data(), 1024));
  background.decoded();
  for (auto _ : state) benchmark::DoNotOptimize(background.decoded());
}
BENCHMARK(BM_RepaintLooksUpDecoded);

// The first paint after an assignment decodes the snapshot.
void BM_FirstPaintDecodes(benchmark::State& state) {
  const std::vector<std::uint32_t> pixels(1024 * 768, 0x00336699);
  const Picture snapshot = encodeBmp(1024, 768, pixels.data(), 1024);
  BackgroundPicture background(BackgroundPicture::Kind::Canvas);
  for (auto _ : state) {
    background.assign(snapshot);
    benchmark::DoNotOptimize(background.decoded());
  }
}
BENCHMARK(BM_FirstPaintDecodes)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace lsg
