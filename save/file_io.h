#pragma once

// Files as the save commands and the JPEG conversion use them. Every path is UTF-8;
// the Windows side converts it to UTF-16 and uses the wide API, so names outside the
// machine's code page (Chinese folders on an English Windows) work.
// Implemented by platform/posix/file_posix.cpp and platform/win32/file_win.cpp.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace lsg {

struct WriteResult {
  bool ok = false;
  std::string reason;  // short cause for the error message box; empty when ok
};

// Why a read-only target was not replaced, for the error box.
inline constexpr const char* kReadOnlyReason = "文件是只读的，没有被覆盖";

// A new file written beside a target and moved over it on commit, so that a save that
// fails half-way, or a process killed half-way, never destroys the file that was there.
// The new file's name says what it is (save/partial_save.h). Not copyable; the
// destructor closes and removes a file that was not committed.
class ReplacementFile {
 public:
  ReplacementFile() = default;
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // Creates the new file in the target's folder, opened for binary writing. First it
  // removes what saves of this program that no longer run left in that folder, and
  // nothing else. A read-only target is refused: the user protected it, and it is
  // neither replaced nor touched.
  WriteResult open(const std::string& target);
  std::FILE* file() const { return file_; }
  // Flushes the new file to the disk, closes it and replaces the target with it,
  // keeping the target's attributes (hidden, system). A target held open by another
  // program (a virus scanner, a sync client) is tried again for about half a second.
  // On failure the new file is removed and the target keeps its content.
  WriteResult commit();
  // Closes and removes the new file; the target is left as it is.
  void discard();

 private:
  std::string target_;
  std::string temporary_;
  std::FILE* file_ = nullptr;
};

// Creates or replaces `path` with the blocks in order (an empty block writes nothing).
// The target is replaced only when every block was written and the file closed; on
// any failure an existing target keeps its content and no partial file stays behind.
// An empty path fails without touching anything.
WriteResult writeBytesToFile(const std::string& path,
                             std::span<const std::span<const std::uint8_t>> blocks);

// Creates or truncates `path` and writes the blocks into it directly: no new file
// beside it, no flush to the disk, no rename. For scratch files ("ImageA.tmp") that
// nobody loses anything by if they are cut short. A failed open, write or close is
// reported; what was written so far stays.
WriteResult writeScratchFile(const std::string& path,
                             std::span<const std::span<const std::uint8_t>> blocks);

// The system's temporary folder ending in its path separator, or nullopt when the
// system has none or it does not fit in 260 characters.
std::optional<std::string> tempFolderPath();

// True when something (a file or a folder) exists at `path`.
bool fileExists(const std::string& path);

// A FILE* that closes itself.
struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

// fopen with a UTF-8 path; nullptr on failure.
std::FILE* openFile(const std::string& path, const char* mode);

// Size in bytes of an open file, or nullopt when the system cannot tell.
std::optional<std::uint64_t> fileSize(std::FILE* file);

// Removes a file; false when nothing was removed.
bool removeFile(const std::string& path);

}  // namespace lsg
