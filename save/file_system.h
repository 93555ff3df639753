#pragma once

// What the platform-free part of the file layer (save/file_io.cpp) asks of the system.
// Implemented beside the rest of save/file_io.h, by platform/posix/file_posix.cpp and
// platform/win32/file_win.cpp. Errors are the system's own codes (errno, GetLastError),
// 0 for none.

#include <cstdio>
#include <string>

#include "save/file_io.h"

namespace lsg::file_system {

using Error = unsigned long;

// Clears the system's last error before a call that may not set it.
void clearLastError();
// The system's last error, or its code for a failed write when it has none.
Error lastWriteError();
// The short cause of `error`, for the error box.
WriteResult failure(Error error);

// Writes what the system holds of an open file through to the disk.
bool syncToDisk(std::FILE* file);
// Moves `temporary` over `target` in one step, keeping the target's attributes.
Error replace(const std::string& temporary, const std::string& target);
// The partial save at `path` is committed or discarded: no longer this process's to guard.
void partialSaveClosed(const std::string& path);

}  // namespace lsg::file_system
