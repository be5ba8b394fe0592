#pragma once

#include <cstddef>

namespace marlume::bench {

// Heap allocations of the whole process so far, counted by a replaced global operator
// new linked into the benchmark executables.
[[nodiscard]] std::size_t allocationCount();

} // namespace marlume::bench
