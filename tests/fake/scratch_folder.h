#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "save/file_io.h"

namespace lsg::fake {

// UTF-8 paths as the program keeps them, and std::filesystem's own.
inline std::filesystem::path fsPath(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string utf8Of(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

// A fresh folder under the system's temporary folder, removed with all it holds.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& prefix) {
    const auto temp = tempFolderPath();
    if (!temp) return;
    std::random_device random;
    for (int attempt = 0; attempt < 20 && path_.empty(); ++attempt) {
      const std::filesystem::path candidate = fsPath(*temp + prefix + std::to_string(random()));
      std::error_code error;
      if (std::filesystem::create_directory(candidate, error)) path_ = candidate;
    }
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder() {
    std::error_code error;
    if (!path_.empty()) std::filesystem::remove_all(path_, error);
  }
  bool ready() const { return !path_.empty(); }
  std::string file(const std::string& name) const { return utf8Of(path_ / fsPath(name)); }
  std::set<std::string> names() const {
    std::set<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) {
      found.insert(utf8Of(entry.path().filename()));
    }
    return found;
  }

 private:
  std::filesystem::path path_;
};

// Writes `bytes` as the only block through the program's own safe writer.
inline WriteResult writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  const std::span<const std::uint8_t> blocks[] = {bytes};
  return writeBytesToFile(path, blocks);
}

// The whole file, or nothing when it cannot be opened.
inline std::vector<std::uint8_t> readAll(const std::string& path) {
  std::vector<std::uint8_t> bytes;
  std::FILE* file = openFile(path, "rb");
  if (file == nullptr) return bytes;
  std::uint8_t buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
    bytes.insert(bytes.end(), buffer, buffer + n);
  }
  std::fclose(file);
  return bytes;
}

}  // namespace lsg::fake
