// The JPEG conversion of a file that holds arbitrary bytes: the result is one of the
// documented codes, a failure leaves no target, a success leaves a JPEG the program
// shows, and nothing else is ever left in the folder.
//
// The files live in LSG_FUZZ_DIR, else /dev/shm, else the temporary folder: a folder in
// memory makes a run several times faster than one on disk.

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "fuzz_size.h"
#include "picture/decode.h"
#include "save/convert_jpeg.h"
#include "save/file_io.h"

namespace {

std::string scratchFolder() {
  std::string base;
  if (const char* chosen = std::getenv("LSG_FUZZ_DIR"); chosen != nullptr && *chosen != '\0') {
    base = chosen;
  } else if (struct stat shm{}; ::stat("/dev/shm", &shm) == 0 && S_ISDIR(shm.st_mode)) {
    base = "/dev/shm";
  } else {
    base = lsg::tempFolderPath().value_or("/tmp/");
  }
  if (base.back() != '/') base += '/';
  std::string pattern = base + "lsg-fuzz-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) std::abort();
  return pattern + '/';
}

const std::string& folder() {
  static const std::string path = scratchFolder();
  return path;
}

std::set<std::string> namesIn(const std::string& path) {
  std::set<std::string> names;
  DIR* dir = ::opendir(path.c_str());
  if (dir == nullptr) std::abort();
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.insert(name);
  }
  ::closedir(dir);
  return names;
}

std::vector<std::uint8_t> readAll(const std::string& path) {
  std::vector<std::uint8_t> bytes;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return bytes;
  std::uint8_t buffer[65536];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
    bytes.insert(bytes.end(), buffer, buffer + n);
  }
  std::fclose(file);
  return bytes;
}

void removeFolder() {
  for (const std::string& name : namesIn(folder())) ::unlink((folder() + name).c_str());
  ::rmdir(folder().c_str());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  folder();
  std::atexit(removeFolder);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  if (lsg::fuzz::largeLegalJpeg(bytes, lsg::kMaxPicturePixels)) return -1;
  const std::string source = folder() + "ImageA.tmp";
  const std::string target = folder() + "chosen.jpg";
  std::FILE* file = std::fopen(source.c_str(), "wb");
  if (file == nullptr || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) {
    std::abort();
  }
  // Both output depths, chosen by the input so that a crash reproduces from it alone.
  const bool grayscale = size % 2 == 1;
  const int result = lsg::convertToJpeg(source, target, grayscale, 80, true, 0);
  switch (result) {
    case lsg::kJpegWritten:
    case lsg::kJpegSourceMissing:
    case lsg::kJpegSourceUnreadable:
    case lsg::kJpegTargetFailed:
    case lsg::kJpegBadParameter:
      break;
    default:
      std::abort();
  }
  const std::set<std::string> expected = result == lsg::kJpegWritten
                                             ? std::set<std::string>{"ImageA.tmp", "chosen.jpg"}
                                             : std::set<std::string>{"ImageA.tmp"};
  if (namesIn(folder()) != expected) std::abort();
  if (result == lsg::kJpegWritten) {
    const auto written = lsg::decodePicture(readAll(target));
    if (!written || written->width < 1 || written->height < 1) std::abort();
    ::unlink(target.c_str());
  }
  return 0;
}
