// The part of save/file_io.h that is the same on every system: the order of flush,
// close and replace, and what a failure leaves behind. The system calls are in
// save/file_system.h.

#include "save/file_io.h"

#include "save/file_system.h"

namespace lsg {

ReplacementFile::~ReplacementFile() { discard(); }

WriteResult ReplacementFile::commit() {
  if (file_ == nullptr) return {false, "文件没有打开"};
  file_system::clearLastError();
  file_system::Error error = 0;
  if (std::fflush(file_) != 0 || std::ferror(file_) || !file_system::syncToDisk(file_)) {
    error = file_system::lastWriteError();
  }
  file_system::clearLastError();
  const int closed = std::fclose(file_);
  file_ = nullptr;
  if (error == 0 && closed != 0) error = file_system::lastWriteError();
  if (error == 0) error = file_system::replace(temporary_, target_);
  if (error != 0) {
    discard();
    return file_system::failure(error);
  }
  file_system::partialSaveClosed(temporary_);
  temporary_.clear();
  return {true, {}};
}

void ReplacementFile::discard() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  if (!temporary_.empty()) removeFile(temporary_);
  file_system::partialSaveClosed(temporary_);
  temporary_.clear();
}

WriteResult writeBytesToFile(const std::string& path,
                             std::span<const std::span<const std::uint8_t>> blocks) {
  if (path.empty()) return {false, "没有文件名"};
  ReplacementFile out;
  if (auto opened = out.open(path); !opened.ok) return opened;
  for (const auto block : blocks) {
    if (block.empty()) continue;
    file_system::clearLastError();
    if (std::fwrite(block.data(), 1, block.size(), out.file()) != block.size()) {
      return file_system::failure(file_system::lastWriteError());
    }
  }
  return out.commit();
}

}  // namespace lsg
