// Save as JPG's conversion as a process of its own, to be timed beside cjpeg and the
// floor: convert_once SOURCE TARGET. Exits 0 when convertToJpeg gave 1.
#include <cstdio>

#include "save/convert_jpeg.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s SOURCE TARGET\n", argv[0]);
    return 2;
  }
  return lsg::convertToJpeg(argv[1], argv[2], false, 80, true, 0) == lsg::kJpegWritten ? 0 : 1;
}
