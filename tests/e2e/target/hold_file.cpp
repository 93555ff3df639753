// Another program that holds a file open for a moment, as a virus scanner or a sync
// client does right after a file was written:
//
//   e2e_hold_file.exe FILE WAIT_FOR HOLD_MS
//
// Opens FILE with no sharing and prints "held". Then waits until something matches the
// wildcard path WAIT_FOR (the saving program's new file beside FILE, which shows that
// the save has reached FILE), holds FILE HOLD_MS milliseconds longer and closes it. It
// prints "released waiting=1" when WAIT_FOR still matched at that moment (the save was
// still waiting for FILE), "released waiting=0" when not, and "released never-saw" when
// nothing matched within 60 s.
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

bool exists(const wchar_t* pattern) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(pattern, &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: e2e_hold_file FILE WAIT_FOR HOLD_MS\n");
    return 2;
  }
  HANDLE file = CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::printf("cannot open: error %lu\n", GetLastError());
    return 1;
  }
  std::printf("held\n");
  std::fflush(stdout);
  const ULONGLONG deadline = GetTickCount64() + 60000;
  bool seen = false;
  while (!(seen = exists(argv[2])) && GetTickCount64() < deadline) Sleep(2);
  if (seen) Sleep(static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10)));
  const bool waiting = seen && exists(argv[2]);
  CloseHandle(file);
  std::printf("released %s\n", !seen ? "never-saw" : waiting ? "waiting=1" : "waiting=0");
  std::fflush(stdout);
  return 0;
}
