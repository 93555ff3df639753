// The floor of the conversion: what any program must do to turn a 24-bit BMP file into
// the same JPEG. One read of the whole file, libjpeg encoding straight from the file's
// bytes (B, G, R rows, bottom-up or top-down as they lie) into memory with the same
// settings, one write. No checks beyond what keeps it from reading out of bounds.
//   convert_floor SOURCE.bmp TARGET.jpg
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

#include "bench/peer_encode.h"

namespace {

std::uint32_t le32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t{p[3]} << 24);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s SOURCE.bmp TARGET.jpg\n", argv[0]);
    return 2;
  }
  std::FILE* in = std::fopen(argv[1], "rb");
  if (in == nullptr || std::fseek(in, 0, SEEK_END) != 0) return 1;
  const long size = std::ftell(in);
  std::rewind(in);
  if (size < 54) return 1;
  unsigned char* file = static_cast<unsigned char*>(std::malloc(static_cast<std::size_t>(size)));
  if (file == nullptr ||
      std::fread(file, 1, static_cast<std::size_t>(size), in) != static_cast<std::size_t>(size)) {
    return 1;
  }
  std::fclose(in);
  const std::uint32_t offset = le32(file + 10);
  const auto width = static_cast<std::int32_t>(le32(file + 18));
  const auto signedHeight = static_cast<std::int32_t>(le32(file + 22));
  const std::int32_t height = signedHeight < 0 ? -signedHeight : signedHeight;
  const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
  if (width < 1 || height < 1 ||
      offset + stride * static_cast<std::size_t>(height) > static_cast<std::size_t>(size)) {
    return 1;
  }
  std::vector<JSAMPROW> rows(static_cast<std::size_t>(height));
  for (std::int32_t y = 0; y < height; ++y) {
    const std::int32_t fileRow = signedHeight < 0 ? y : height - 1 - y;
    rows[y] = file + offset + stride * static_cast<std::size_t>(fileRow);
  }

  unsigned long jpegSize = 0;
  unsigned char* jpeg = lsg::bench::encodePeer(rows.data(), static_cast<JDIMENSION>(width),
                                               static_cast<JDIMENSION>(height), jpegSize);

  std::FILE* out = std::fopen(argv[2], "wb");
  if (out == nullptr) return 1;
  const bool ok = std::fwrite(jpeg, 1, jpegSize, out) == jpegSize;
  return std::fclose(out) == 0 && ok ? 0 : 1;
}
