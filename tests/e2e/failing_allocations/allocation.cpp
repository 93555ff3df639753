// A test build of the program whose memory runs out on cue: once one allocation of at
// least kCue bytes has been made, every later allocation fails. On a 1024 x 768 screen the
// first such allocation is a snapshot of the whole screen (2.36 MB), so the program runs
// normally until a capture, and from then on nothing of its own can allocate: the fatal
// report has to do without. Linked in place of the program's own allocation functions;
// never part of the program that is shipped.
#include <cstdlib>
#include <new>

#include "platform/win32/allocation.h"

namespace {

constexpr std::size_t kCue = 2'000'000;
bool exhausted = false;
std::size_t failedAllocation = 0;

}  // namespace

void* operator new(std::size_t size) {
  if (!exhausted) {
    exhausted = size >= kCue;
    if (void* p = std::malloc(size ? size : 1)) return p;
  }
  failedAllocation = size;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

std::size_t lsg::win::lastFailedAllocationSize() { return failedAllocation; }
