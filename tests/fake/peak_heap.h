#pragma once

// The most heap memory the process held at once while a piece of code ran, counted through
// AddressSanitizer's allocation hooks: every malloc, new and libjpeg allocation passes
// through them. Only a build with AddressSanitizer has the hooks (the native test build);
// elsewhere available() is false and the tests that need a peak skip it. An address-space
// limit would not do here: AddressSanitizer reserves terabytes of shadow memory.

#include <atomic>
#include <cstddef>
#include <cstdint>

#if defined(__SANITIZE_ADDRESS__)
#define LSG_PEAK_HEAP 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LSG_PEAK_HEAP 1
#endif
#endif

#ifdef LSG_PEAK_HEAP
extern "C" {
int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, std::size_t),
                                              void (*)(const volatile void*));
std::size_t __sanitizer_get_allocated_size(const volatile void*);
}
#endif

namespace lsg::fake {

class PeakHeap {
 public:
  static bool available() {
#ifdef LSG_PEAK_HEAP
    static const bool installed = __sanitizer_install_malloc_and_free_hooks(allocated, freed) != 0;
    return installed;
#else
    return false;
#endif
  }

  // Bytes held at the peak of `run`, beyond what was held when it started.
  template <typename Run>
  static std::int64_t during(Run&& run) {
    if (!available()) return -1;
    const std::int64_t before = held().load();
    peak().store(before);
    run();
    return peak().load() - before;
  }

 private:
  static std::atomic<std::int64_t>& held() {
    static std::atomic<std::int64_t> bytes{0};
    return bytes;
  }
  static std::atomic<std::int64_t>& peak() {
    static std::atomic<std::int64_t> bytes{0};
    return bytes;
  }
#ifdef LSG_PEAK_HEAP
  static void allocated(const volatile void*, std::size_t size) {
    const std::int64_t now = held().fetch_add(static_cast<std::int64_t>(size)) + size;
    std::int64_t seen = peak().load();
    while (now > seen && !peak().compare_exchange_weak(seen, now)) {
    }
  }
  static void freed(const volatile void* pointer) {
    held().fetch_sub(static_cast<std::int64_t>(__sanitizer_get_allocated_size(pointer)));
  }
#endif
};

}  // namespace lsg::fake
