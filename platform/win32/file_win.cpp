// The file operations of save/file_io.h on Windows: wide API throughout, UTF-8 paths
// converted at this boundary.

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <span>
#include <string>

#include "platform/win32/replace_win.h"
#include "platform/win32/text.h"
#include "save/file_io.h"
#include "save/file_system.h"
#include "save/partial_save.h"

namespace lsg {
namespace {

constexpr DWORD kTempPathLimit = 260;

// A path for the wide API; empty when there is none or it is not valid UTF-8, which the
// callers refuse.
std::wstring widePath(const std::string& path) { return win::widenPath(path).value_or(L""); }

// The system's own text for the error, in the user's language, without its line end.
WriteResult failure(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string reason = win::narrow({text, text != nullptr ? length : 0});
  if (text != nullptr) LocalFree(text);
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                             reason.back() == ' ' || reason.back() == '.')) {
    reason.pop_back();
  }
  if (reason.empty()) reason = "错误 " + std::to_string(error);
  return {false, reason};
}

std::wstring folderOf(const std::wstring& path) {
  const auto cut = path.find_last_of(L"\\/:");
  return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
}

// CREATE_NEW so that a stray file of the same name is never written through; share
// mode 0 as for any file this program writes, which also keeps another save from
// taking it for a leftover while it is being written.
HANDLE createUniqueFile(const std::wstring& folder, std::wstring& name) {
  static unsigned serial = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = folder + win::widen(partialSaveName(GetCurrentProcessId(), ++serial));
    HANDLE handle = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return handle;
  }
  SetLastError(ERROR_FILE_EXISTS);
  return INVALID_HANDLE_VALUE;
}

bool writeAll(HANDLE file, std::span<const std::uint8_t> block) {
  while (!block.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(block.size(), 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file, block.data(), chunk, &written, nullptr)) return false;
    if (written == 0) {
      SetLastError(ERROR_WRITE_FAULT);
      return false;
    }
    block = block.subspan(written);
  }
  return true;
}

}  // namespace

namespace file_system {

void clearLastError() { SetLastError(ERROR_SUCCESS); }
Error lastWriteError() {
  const DWORD error = GetLastError();
  return error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT;
}
WriteResult failure(Error error) { return lsg::failure(static_cast<DWORD>(error)); }

bool syncToDisk(std::FILE* file) {
  return FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)))) != 0;
}

Error replace(const std::string& temporary, const std::string& target) {
  return win::replaceTarget(widePath(temporary), widePath(target));
}

// Nothing to guard: share mode 0 keeps an open partial save from being deleted.
void partialSaveClosed(const std::string&) {}

}  // namespace file_system

WriteResult ReplacementFile::open(const std::string& target) {
  discard();
  const std::wstring wideTarget = widePath(target);
  if (wideTarget.empty()) return {false, "没有文件名"};
  const DWORD existing = GetFileAttributesW(wideTarget.c_str());
  if (existing != INVALID_FILE_ATTRIBUTES) {
    if (existing & FILE_ATTRIBUTE_DIRECTORY) return failure(ERROR_ACCESS_DENIED);
    if (existing & FILE_ATTRIBUTE_READONLY) return {false, kReadOnlyReason};
  }
  const std::wstring folder = folderOf(wideTarget);
  win::removeStalePartialSaves(folder);
  std::wstring wideTemporary;
  HANDLE handle = createUniqueFile(folder, wideTemporary);
  if (handle == INVALID_HANDLE_VALUE) return failure(GetLastError());
  temporary_ = win::narrow(wideTemporary);
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
  if (fd < 0) {
    CloseHandle(handle);
    discard();
    return failure(ERROR_TOO_MANY_OPEN_FILES);
  }
  file_ = _fdopen(fd, "wb");
  if (file_ == nullptr) {
    _close(fd);
    discard();
    return failure(ERROR_TOO_MANY_OPEN_FILES);
  }
  target_ = target;
  return {true, {}};
}

WriteResult writeScratchFile(const std::string& path,
                             std::span<const std::span<const std::uint8_t>> blocks) {
  const std::wstring wide = widePath(path);
  if (wide.empty()) return {false, "没有文件名"};
  HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return failure(GetLastError());
  for (const auto block : blocks) {
    if (!writeAll(file, block)) {
      const DWORD error = GetLastError();
      CloseHandle(file);
      return failure(error);
    }
  }
  if (!CloseHandle(file)) return failure(GetLastError());
  return {true, {}};
}

std::optional<std::string> tempFolderPath() {
  wchar_t buffer[kTempPathLimit];
  // The result counts characters without the terminator on success, and the size
  // needed with it when the buffer is too small.
  const DWORD length = GetTempPathW(kTempPathLimit, buffer);
  if (length == 0 || length >= kTempPathLimit) return std::nullopt;
  std::string path = win::narrow({buffer, length});
  if (path.empty()) return std::nullopt;
  if (path.back() != '\\') path += '\\';
  return path;
}

bool fileExists(const std::string& path) {
  const std::wstring wide = widePath(path);
  if (wide.empty()) return false;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(wide.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

std::FILE* openFile(const std::string& path, const char* mode) {
  const std::wstring wide = widePath(path);
  const std::wstring wideMode = win::widen(mode);
  if (wide.empty() || wideMode.empty()) return nullptr;
  return _wfopen(wide.c_str(), wideMode.c_str());
}

std::optional<std::uint64_t> fileSize(std::FILE* file) {
  if (file == nullptr) return std::nullopt;
  const long long size = _filelengthi64(_fileno(file));
  if (size < 0) return std::nullopt;
  return static_cast<std::uint64_t>(size);
}

bool removeFile(const std::string& path) {
  const std::wstring wide = widePath(path);
  return !wide.empty() && DeleteFileW(wide.c_str()) != 0;
}

}  // namespace lsg
