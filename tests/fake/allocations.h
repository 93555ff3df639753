#pragma once

#include <cstddef>

namespace lsg::fake {

// How many times the test program's operator new has allocated so far, so a test can show
// that a path allocates nothing.
std::size_t allocationsSoFar();

}  // namespace lsg::fake
