#pragma once

// The last step of a safe save on Windows, and the clean-up of what killed saves left.

#include <windows.h>

#include <string>

namespace lsg::win {

// Removes from `folder` (ending in a separator; empty for the current folder) the
// partial saves (save/partial_save.h) of processes that no longer run. Files of a
// running process, files still open and files of any other name are left alone.
void removeStalePartialSaves(const std::wstring& folder);

// Puts the finished, closed `replacement` in the place of `target`: replaces an
// existing target keeping its attributes, security and streams, or moves the new
// file into place. ERROR_SUCCESS, or the error of the last attempt.
DWORD replaceTarget(const std::wstring& replacement, const std::wstring& target);

}  // namespace lsg::win
