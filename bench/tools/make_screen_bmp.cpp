// Writes the screen-like benchmark picture as a 24-bit BMP file:
//   make_screen_bmp WIDTH HEIGHT OUT.bmp [top-down]
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench/screen_like.h"

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s WIDTH HEIGHT OUT.bmp [top-down]\n", argv[0]);
    return 2;
  }
  const int width = std::atoi(argv[1]);
  const int height = std::atoi(argv[2]);
  if (width < 1 || height < 1) return 2;
  const bool topDown = argc > 4 && std::strcmp(argv[4], "top-down") == 0;
  const auto bytes = lsg::bench::screenLikeBmp(width, height, topDown);
  std::FILE* out = std::fopen(argv[3], "wb");
  if (out == nullptr) return 1;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  return std::fclose(out) == 0 && ok ? 0 : 1;
}
