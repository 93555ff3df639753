// The program's entry: the Win32 window system, screen and dialogs under the core.
#include <windows.h>

#include <cstdlib>
#include <new>
#include <string>

#include "app/program.h"
#include "platform/win32/allocation.h"
#include "platform/win32/platform_win.h"
#include "platform/win32/window_system_win.h"
#include "resources/resource_ids.h"

namespace {

std::size_t failedAllocation = 0;

}  // namespace

// Every allocation goes through here so that a failure can be reported with its size.
// Callers that can live without a large buffer (decoding, snapshots) catch bad_alloc;
// anywhere else it reaches the window procedure, which ends the program with a message.
void* operator new(std::size_t size) {
  if (void* p = std::malloc(size ? size : 1)) return p;
  failedAllocation = size;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

std::size_t lsg::win::lastFailedAllocationSize() { return failedAllocation; }

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

lsg::Picture startupPicture(HINSTANCE instance) {
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
  enterProgramFolder();
  lsg::win::Win32WindowSystem windows(instance);
  try {
    auto screen = lsg::win::makeScreen();
    auto save = lsg::win::makeSavePlatform();
    lsg::Program program(windows, *screen, *save, startupPicture(instance));
    windows.setApplication(&program.app);
    return lsg::runProgram(program);
  } catch (const std::bad_alloc&) {
    windows.fatal("内存不足：无法分配 " + std::to_string(failedAllocation) + " 字节");
  }
  return -1;  // not reached: fatal() ends the process
}
