// The file operations of save/file_io.h for the native build.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "save/file_io.h"

namespace lsg {
namespace {

constexpr std::size_t kTempPathLimit = 260;  // the same limit as the Windows buffer

WriteResult failure(int error) { return {false, std::strerror(error)}; }

std::string folderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// O_EXCL so that two saves at once, or a stray file of the same name, are never
// written through; the name is short so that a long target name still leaves room.
int createUniqueFile(const std::string& folder, std::string& name) {
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    char leaf[40];
    std::snprintf(leaf, sizeof leaf, ".lsg%08x%04x.tmp", static_cast<unsigned>(getpid()),
                  ++counter & 0xFFFFu);
    name = folder + leaf;
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

}  // namespace

ReplacementFile::~ReplacementFile() { discard(); }

WriteResult ReplacementFile::open(const std::string& target) {
  discard();
  if (target.empty()) return {false, "没有文件名"};
  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  // Replacing by rename would ignore a read-only target; refuse it as writing in
  // place would.
  if (exists && S_ISREG(existing.st_mode) && ::access(target.c_str(), W_OK) != 0) {
    return failure(errno);
  }
  const int fd = createUniqueFile(folderOf(target), temporary_);
  if (fd < 0) {
    const int error = errno;
    temporary_.clear();
    return failure(error);
  }
  if (exists && S_ISREG(existing.st_mode)) ::fchmod(fd, existing.st_mode & 07777);
  file_ = ::fdopen(fd, "wb");
  if (file_ == nullptr) {
    const int error = errno;
    ::close(fd);
    discard();
    return failure(error);
  }
  target_ = target;
  return {true, {}};
}

WriteResult ReplacementFile::commit() {
  if (file_ == nullptr) return {false, "文件没有打开"};
  int error = 0;
  if (std::fflush(file_) != 0 || std::ferror(file_) || ::fsync(::fileno(file_)) != 0) {
    error = errno ? errno : EIO;
  }
  const int closed = std::fclose(file_);
  file_ = nullptr;
  if (error == 0 && closed != 0) error = errno;
  if (error == 0 && std::rename(temporary_.c_str(), target_.c_str()) != 0) error = errno;
  if (error != 0) {
    discard();
    return failure(error);
  }
  temporary_.clear();
  return {true, {}};
}

void ReplacementFile::discard() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  temporary_.clear();
}

WriteResult writeBytesToFile(const std::string& path,
                             std::span<const std::span<const std::uint8_t>> blocks) {
  if (path.empty()) return {false, "没有文件名"};
  ReplacementFile out;
  if (auto opened = out.open(path); !opened.ok) return opened;
  for (const auto block : blocks) {
    if (block.empty()) continue;
    errno = 0;
    if (std::fwrite(block.data(), 1, block.size(), out.file()) != block.size()) {
      return failure(errno ? errno : EIO);
    }
  }
  return out.commit();
}

std::optional<std::string> tempFolderPath() {
  const char* folder = std::getenv("TMPDIR");
  std::string path = folder != nullptr && *folder != '\0' ? folder : "/tmp";
  if (path.back() != '/') path += '/';
  if (path.size() >= kTempPathLimit) return std::nullopt;
  return path;
}

bool fileExists(const std::string& path) {
  struct stat info {};
  return !path.empty() && ::stat(path.c_str(), &info) == 0;
}

std::FILE* openFile(const std::string& path, const char* mode) {
  return std::fopen(path.c_str(), mode);
}

std::optional<std::uint64_t> fileSize(std::FILE* file) {
  struct stat info {};
  if (file == nullptr || ::fstat(::fileno(file), &info) != 0 || info.st_size < 0) {
    return std::nullopt;
  }
  return static_cast<std::uint64_t>(info.st_size);
}

bool removeFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

}  // namespace lsg
