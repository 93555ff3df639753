#include "platform/win32/replace_win.h"

#include <optional>

#include "platform/win32/text.h"
#include "save/partial_save.h"

namespace lsg::win {
namespace {

// Attributes that belong to the file rather than to its content, carried over to the
// new file. ARCHIVE is not carried: the new content has not been backed up yet.
constexpr DWORD kCarriedAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Pauses between attempts while another program holds the target: about half a second
// in all, the time a virus scanner or a sync client keeps a fresh file open.
constexpr DWORD kRetryDelaysMs[] = {50, 50, 100, 100, 200};

// Another process that runs, or that we may not ask about, keeps its files. This
// process's own id is that of a process with the same id that ended (ids are reused),
// or of a save of ours that could not remove its file; the file being written now is
// kept from deletion by its share mode.
bool otherProcessRunning(std::uint32_t id) {
  if (id == 0 || id == GetCurrentProcessId()) return false;
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
  // Any other failure (access denied: another user's process) counts as running.
  if (process == nullptr) return GetLastError() != ERROR_INVALID_PARAMETER;
  DWORD code = 0;
  const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
  CloseHandle(process);
  return running;
}

// Wine's ReplaceFileW moves the old file aside before it moves the new one in, so a
// process ended between the two leaves no file at all; it keeps no attributes, and it
// leaves an empty file in the folder when the target is in use. Its MoveFileExW is
// one rename. So under Wine the new file is moved over the old one.
bool replaceFileIsSafe() {
  static const bool safe =
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") == nullptr;
  return safe;
}

// Errors that another program's handle on the target gives, and that go away when it
// lets go. Windows reports a scanner's hold as a sharing violation or, on a file that
// is being deleted, as access denied; Wine refuses to replace any open file with access
// denied.
bool mayPass(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
         error == ERROR_ACCESS_DENIED || error == ERROR_UNABLE_TO_REMOVE_REPLACED;
}

DWORD moveIntoPlace(const std::wstring& replacement, const std::wstring& target) {
  return MoveFileExW(replacement.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
             ? ERROR_SUCCESS
             : GetLastError();
}

DWORD replaceOnce(const std::wstring& replacement, const std::wstring& target) {
  const DWORD existing = GetFileAttributesW(target.c_str());
  if (existing == INVALID_FILE_ATTRIBUTES || !replaceFileIsSafe()) {
    return moveIntoPlace(replacement, target);
  }
  // The ignore flags: a user who may write the file but not its access list still gets
  // the file saved, with the folder's access list instead.
  if (ReplaceFileW(target.c_str(), replacement.c_str(), nullptr,
                   REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr,
                   nullptr)) {
    return ERROR_SUCCESS;
  }
  const DWORD error = GetLastError();
  // Without a backup name this means the old file is already gone and the new one
  // still has its own name: moving it into place is all that is left to do.
  if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT || error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 ||
      error == ERROR_FILE_NOT_FOUND) {
    return moveIntoPlace(replacement, target);
  }
  return error;
}

}  // namespace

void removeStalePartialSaves(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  const std::wstring pattern = folder + widen(kPartialSavePattern);
  HANDLE search =
      FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    // The pattern may also match short 8.3 names; the long name decides.
    const std::optional<std::uint32_t> owner = partialSaveOwner(narrow(found.cFileName));
    if (!owner || otherProcessRunning(*owner)) continue;
    // A file that is still open cannot be deleted and stays.
    DeleteFileW((folder + found.cFileName).c_str());
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

DWORD replaceTarget(const std::wstring& replacement, const std::wstring& target) {
  const DWORD existing = GetFileAttributesW(target.c_str());
  const bool targetExisted =
      existing != INVALID_FILE_ATTRIBUTES && !(existing & FILE_ATTRIBUTE_DIRECTORY);
  // ReplaceFileW keeps them too; setting them first keeps them wherever the new file
  // is moved instead. A failure here costs the attribute, not the save.
  if (targetExisted && (existing & kCarriedAttributes) != 0) {
    SetFileAttributesW(replacement.c_str(),
                       (existing & kCarriedAttributes) | FILE_ATTRIBUTE_ARCHIVE);
  }
  DWORD error = ERROR_SUCCESS;
  for (std::size_t attempt = 0;; ++attempt) {
    error = replaceOnce(replacement, target);
    if (error == ERROR_SUCCESS || !mayPass(error) || attempt == std::size(kRetryDelaysMs)) break;
    Sleep(kRetryDelaysMs[attempt]);
  }
  return error;
}

}  // namespace lsg::win
