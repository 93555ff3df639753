#pragma once

#include <cstddef>

namespace lsg::win {

// The size of the last allocation that failed, so a fatal report can name it.
std::size_t lastFailedAllocationSize();

}  // namespace lsg::win
