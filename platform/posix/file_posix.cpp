// The file operations of save/file_io.h for the native build.

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <set>

#include "save/file_io.h"
#include "save/file_system.h"
#include "save/partial_save.h"

namespace lsg {
namespace {

constexpr std::size_t kTempPathLimit = 260;  // the same limit as the Windows buffer

std::string folderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The partial saves this process is writing now. Windows keeps them from being deleted
// by their share mode; here nothing else would.
std::set<std::string>& openPartialSaves() {
  static std::set<std::string> open;
  return open;
}

// Another process that exists, or that we may not signal, counts as running: its file
// is left alone. This process's own ids are those of a process with the same id that
// ended (ids are reused), or of a save of ours that could not remove its file.
bool otherProcessRunning(std::uint32_t id) {
  if (id == 0 || id > static_cast<std::uint32_t>(INT_MAX)) return false;
  if (id == static_cast<std::uint32_t>(getpid())) return false;
  return ::kill(static_cast<pid_t>(id), 0) == 0 || errno == EPERM;
}

void removeStalePartialSaves(const std::string& folder) {
  DIR* listing = ::opendir(folder.empty() ? "." : folder.c_str());
  if (listing == nullptr) return;
  while (const dirent* entry = ::readdir(listing)) {
    const auto owner = partialSaveOwner(entry->d_name);
    if (!owner || otherProcessRunning(*owner)) continue;
    const std::string path = folder + entry->d_name;
    if (openPartialSaves().contains(path)) continue;
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) ::unlink(path.c_str());
  }
  ::closedir(listing);
}

// O_EXCL so that a stray file of the same name is never written through.
int createUniqueFile(const std::string& folder, std::string& name) {
  static unsigned serial = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = folder + partialSaveName(static_cast<std::uint32_t>(getpid()), ++serial);
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

bool writeAll(int fd, std::span<const std::uint8_t> block) {
  while (!block.empty()) {
    const ssize_t written = ::write(fd, block.data(), block.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      if (written == 0) errno = EIO;
      return false;
    }
    block = block.subspan(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

namespace file_system {

void clearLastError() { errno = 0; }
Error lastWriteError() { return static_cast<Error>(errno != 0 ? errno : EIO); }
WriteResult failure(Error error) { return {false, std::strerror(static_cast<int>(error))}; }

bool syncToDisk(std::FILE* file) { return ::fsync(::fileno(file)) == 0; }

Error replace(const std::string& temporary, const std::string& target) {
  return std::rename(temporary.c_str(), target.c_str()) == 0 ? 0 : lastWriteError();
}

void partialSaveClosed(const std::string& path) { openPartialSaves().erase(path); }

}  // namespace file_system

using file_system::failure;

WriteResult ReplacementFile::open(const std::string& target) {
  discard();
  if (target.empty()) return {false, "没有文件名"};
  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (exists && S_ISDIR(existing.st_mode)) return failure(EISDIR);
  // A rename would ignore a read-only target. No write permission for anyone is how
  // a read-only attribute looks here (and how Wine shows it to Windows programs).
  if (exists && S_ISREG(existing.st_mode)) {
    if ((existing.st_mode & 0222) == 0) return {false, kReadOnlyReason};
    if (::access(target.c_str(), W_OK) != 0) return failure(errno);
  }
  const std::string folder = folderOf(target);
  removeStalePartialSaves(folder);
  const int fd = createUniqueFile(folder, temporary_);
  if (fd < 0) {
    const int error = errno;
    temporary_.clear();
    return failure(error);
  }
  openPartialSaves().insert(temporary_);
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

WriteResult writeScratchFile(const std::string& path,
                             std::span<const std::span<const std::uint8_t>> blocks) {
  if (path.empty()) return {false, "没有文件名"};
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return failure(errno);
  for (const auto block : blocks) {
    if (!writeAll(fd, block)) {
      const int error = errno;
      ::close(fd);
      return failure(error);
    }
  }
  if (::close(fd) != 0) return failure(errno);
  return {true, {}};
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
