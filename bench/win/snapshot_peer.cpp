// The program's full-screen snapshot against the bare GDI copy of the same screen, in one
// process, interleaved: takeSnapshot(null) (a 24-bit bottom-up BMP file of the screen)
// against GetDC, a compatible bitmap, BitBlt and one GetDIBits into a buffer of the same
// size. Prints one JSON line: milliseconds of every round for both, and the BMP's size.
//   snapshot_peer [ROUNDS]
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/win32/snapshot_win.h"

namespace {

double now() {
  return std::chrono::duration<double, std::milli>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::size_t bareCopy() {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
  std::vector<unsigned char> pixels(stride * static_cast<std::size_t>(height));
  const int rows =
      GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return rows == height ? pixels.size() : 0;
}

void print(const char* name, const std::vector<double>& values, bool last) {
  std::printf("\"%s\": [", name);
  for (std::size_t i = 0; i < values.size(); ++i) {
    std::printf("%s%.3f", i ? ", " : "", values[i]);
  }
  std::printf("]%s", last ? "" : ", ");
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 20;
  std::vector<double> program;
  std::vector<double> bare;
  std::size_t bmpSize = 0;
  bareCopy();  // warm both paths once
  lsg::win::takeSnapshot(nullptr);
  for (int r = 0; r < rounds; ++r) {
    for (int i = 0; i < 2; ++i) {
      const bool programFirst = (r + i) % 2 == 0;
      const double start = now();
      if (programFirst) {
        bmpSize = lsg::win::takeSnapshot(nullptr).size();
        program.push_back(now() - start);
      } else {
        if (bareCopy() == 0) return 1;
        bare.push_back(now() - start);
      }
    }
  }
  if (bmpSize == 0) return 1;
  std::printf("{\"width\": %d, \"height\": %d, \"bmp_bytes\": %zu, ", GetSystemMetrics(SM_CXSCREEN),
              GetSystemMetrics(SM_CYSCREEN), bmpSize);
  print("program_ms", program, false);
  print("bare_ms", bare, true);
  std::printf("}\n");
  std::fflush(stdout);
  return 0;
}
