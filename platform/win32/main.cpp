// The program's entry: the Win32 window system, screen and dialogs under the core.
#include <windows.h>

#include <array>
#include <new>
#include <string>

#include "app/program.h"
#include "platform/win32/allocation.h"
#include "platform/win32/dll_search.h"
#include "platform/win32/platform_win.h"
#include "platform/win32/window_system_win.h"
#include "resources/resource_ids.h"
#include "ui/fatal_message.h"

namespace {

// A bare file name (the fallback temporary file, a typed name) resolves against the
// folder that holds the program, wherever it was started from.
void enterProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return;
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  const std::size_t slash = path.find_last_of(L'\\');
  if (slash == std::wstring::npos) return;
  path.resize(slash);
  SetCurrentDirectoryW(path.c_str());
}

// Not inlined: inlined into wWinMain, g++ 12 mistakes the picture's buffer, freed on the
// unwinding path, for a pointer into the resource and warns (-Wfree-nonheap-object).
[[gnu::noinline]] lsg::Picture startupPicture(HINSTANCE instance) {
  HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(IDR_STARTUP_JPEG),
                              MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (!found) return {};
  HGLOBAL loaded = LoadResource(instance, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return {};
  return lsg::Picture(static_cast<const std::uint8_t*>(data), SizeofResource(instance, found));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // Before anything can load a DLL by name (the save dialog loads many).
  lsg::win::hardenDllSearch();
  lsg::win::Win32WindowSystem windows(instance);
  try {
    enterProgramFolder();
    auto screen = lsg::win::makeScreen();
    auto save = lsg::win::makeSavePlatform();
    lsg::Program program(windows, *screen, *save, startupPicture(instance));
    windows.setApplication(&program.app);
    try {
      return lsg::runProgram(program);
    } catch (const std::bad_alloc&) {
      // Here, while the program and its windows still exist, so that they can be quieted:
      // unwinding further would free the forms that the windows still point to.
      program.app.outOfMemory(lsg::win::lastFailedAllocationSize());
    }
  } catch (const std::bad_alloc&) {
    // No window exists yet.
    std::array<char, lsg::kFatalMessageSize> buffer;
    windows.fatal(lsg::outOfMemoryMessage(buffer, lsg::win::lastFailedAllocationSize()));
  }
}
