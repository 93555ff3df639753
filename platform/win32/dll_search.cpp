#include "platform/win32/dll_search.h"

namespace lsg::win {

DllSearch restrictDllSearch(SetDefaultDllDirectoriesFn setDefaultDllDirectories) {
  // LOAD_LIBRARY_SEARCH_SYSTEM32, spelt out: older SDK headers lack it.
  constexpr DWORD kSystem32Only = 0x00000800;
  if (setDefaultDllDirectories && setDefaultDllDirectories(kSystem32Only)) {
    return DllSearch::SystemOnly;
  }
  // Without it the program's own folder stays first in the search; the current folder at
  // least goes.
  return SetDllDirectoryW(L"") ? DllSearch::NoCurrentFolder : DllSearch::Unchanged;
}

DllSearch hardenDllSearch() {
  // kernel32 is loaded in every process: no search is involved in finding it.
  HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
  FARPROC found = kernel32 ? GetProcAddress(kernel32, "SetDefaultDllDirectories") : nullptr;
  return restrictDllSearch(
      reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void (*)()>(found)));
}

}  // namespace lsg::win
