#pragma once

#include <windows.h>

namespace lsg::win {

// What the DLL search was narrowed to.
enum class DllSearch {
  SystemOnly,       // only the system folder, for every later load by name
  NoCurrentFolder,  // the older systems' fallback: the current folder is left out
  Unchanged,        // neither call was there or both failed
};

// The signature of kernel32's SetDefaultDllDirectories.
using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);

// Loads by bare name search the system folder only, so a DLL planted beside the program or
// in the current folder (which the save dialog moves) is never loaded in place of the
// system's own. SetDefaultDllDirectories is missing on Windows 7 without its update, so it
// is looked up at run time; the caller passes what the lookup found (or nullptr).
DllSearch restrictDllSearch(SetDefaultDllDirectoriesFn setDefaultDllDirectories);

// The same, with kernel32's own function when it has one. The first thing the program does.
DllSearch hardenDllSearch();

}  // namespace lsg::win
