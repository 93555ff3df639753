#include "platform/win32/dll_search.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "fake/scratch_folder.h"

namespace lsg::win {
namespace {

// Built beside this test program by the test build.
constexpr wchar_t kBesideProgram[] = L"lsgplanted.dll";
constexpr wchar_t kInCurrentFolder[] = L"lsgplantedcwd.dll";

bool loadsByName(const wchar_t* name) {
  HMODULE module = LoadLibraryW(name);
  if (!module) return false;
  FreeLibrary(module);  // unloaded again, so the next search starts afresh
  return true;
}

bool underWine() {
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

std::filesystem::path programFolder() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::filesystem::path(std::wstring(path, n)).parent_path();
}

// One test in stages: a narrowed search cannot be widened again within a process.
TEST(DllSearch, APlantedDllIsNoLongerFoundByNameOnceTheSearchIsNarrowed) {
  fake::ScratchFolder current("lsg-dll-");
  ASSERT_TRUE(current.ready());
  std::filesystem::copy_file(programFolder() / kBesideProgram,
                             fake::fsPath(current.file("lsgplantedcwd.dll")));
  wchar_t kept[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, kept);
  ASSERT_TRUE(SetCurrentDirectoryW(fake::fsPath(current.file("")).c_str()));

  // As any program starts: both planted copies are found.
  EXPECT_TRUE(loadsByName(kBesideProgram));
  EXPECT_TRUE(loadsByName(kInCurrentFolder));

  // A system without SetDefaultDllDirectories: the current folder goes, the program's
  // folder stays (nothing can remove it there).
  EXPECT_EQ(restrictDllSearch(nullptr), DllSearch::NoCurrentFolder);
  // Wine 8 keeps the current folder after SetDllDirectoryW(L""); Windows drops it.
  if (!underWine()) {
    EXPECT_FALSE(loadsByName(kInCurrentFolder));
  }
  EXPECT_TRUE(loadsByName(kBesideProgram));

  // What the program does first: the system folder only, found in kernel32 at run time.
  EXPECT_EQ(hardenDllSearch(), DllSearch::SystemOnly);
  EXPECT_FALSE(loadsByName(kBesideProgram));
  EXPECT_FALSE(loadsByName(kInCurrentFolder));
  EXPECT_TRUE(loadsByName(L"comdlg32.dll")) << "the system's own DLLs still load by name";
  EXPECT_TRUE(loadsByName(L"dwmapi.dll"));

  SetCurrentDirectoryW(kept);
}

}  // namespace
}  // namespace lsg::win
