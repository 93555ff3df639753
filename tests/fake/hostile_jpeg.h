#pragma once

// JPEG streams made of headers alone: the picture's data is missing, which libjpeg fills
// in with grey, so a few hundred bytes can claim any size, any number of scans and any
// layout. The hostile cases of the decoding and conversion tests are built from this.

#include <cstdint>
#include <string>
#include <vector>

namespace lsg::fake {

struct JpegHeaders {
  int width = 16;
  int height = 16;
  int components = 1;   // 1 grey, 3 colour
  int sampling = 0x11;  // of the first component; the others are 1 x 1
  bool progressive = true;
  int scans = 1;  // a progressive stream repeats its first (DC) scan
};

inline std::vector<std::uint8_t> headerOnlyJpeg(const JpegHeaders& j) {
  std::vector<std::uint8_t> b = {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x43, 0x00};
  b.insert(b.end(), 64, 1);  // one quantisation table, every step 1
  auto put16 = [&b](int v) {
    b.push_back(static_cast<std::uint8_t>(v >> 8));
    b.push_back(static_cast<std::uint8_t>(v));
  };
  b.insert(b.end(), {0xFF, static_cast<std::uint8_t>(j.progressive ? 0xC2 : 0xC0)});
  put16(8 + 3 * j.components);
  b.push_back(8);
  put16(j.height);
  put16(j.width);
  b.push_back(static_cast<std::uint8_t>(j.components));
  for (int c = 0; c < j.components; ++c) {
    b.insert(b.end(), {static_cast<std::uint8_t>(c + 1),
                       static_cast<std::uint8_t>(c == 0 ? j.sampling : 0x11), 0});
  }
  // Huffman tables with one one-bit code each: a DC difference of 0, and end of block.
  for (const std::uint8_t table : {0x00, 0x10}) {
    if (table == 0x10 && j.progressive) break;
    b.insert(b.end(), {0xFF, 0xC4, 0x00, 0x14, table, 1});
    b.insert(b.end(), 16, 0);
  }
  for (int scan = 0; scan < (j.progressive ? j.scans : 1); ++scan) {
    b.insert(b.end(), {0xFF, 0xDA});
    put16(6 + 2 * j.components);
    b.push_back(static_cast<std::uint8_t>(j.components));
    for (int c = 0; c < j.components; ++c) b.insert(b.end(), {static_cast<std::uint8_t>(c + 1), 0});
    b.insert(b.end(), {0, static_cast<std::uint8_t>(j.progressive ? 0 : 63), 0});
  }
  b.insert(b.end(), {0xFF, 0xD9});
  return b;
}

inline std::vector<std::uint8_t> fromHex(const std::string& hex) {
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

// The progressive grey stream that claims 65500 x 65500 in 118 bytes, byte for byte as it
// was found: a decoder that allocates before it checks the size fills 8.4 GB for it.
inline std::vector<std::uint8_t> claims65500Progressive() {
  std::string hex = "ffd8ffdb004300";
  for (int i = 0; i < 64; ++i) hex += "01";
  return fromHex(hex +
                 "ffc2000b08ffdcffdc01011100ffc40014000100000000000000000000000000000000"
                 "ffda0008010100000000ffd9");
}

}  // namespace lsg::fake
