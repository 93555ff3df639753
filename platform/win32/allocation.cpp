// The program's own allocation functions, linked into the program alone (a test build
// links its own in their place).
#include "platform/win32/allocation.h"

#include <cstdlib>
#include <new>

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
