#pragma once

#include <cstddef>

#include <malloc.h>

// The address sanitizer keeps a heap of its own and counts it here; a weak reference stays null without it.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes() __attribute__((weak));

namespace marlume::testing {

// Bytes the process holds on the heap now, so that a test can tell what a piece of work kept.
[[nodiscard]] inline std::size_t heapBytesInUse()
{
    if (__sanitizer_get_current_allocated_bytes != nullptr)
        return __sanitizer_get_current_allocated_bytes();
    const struct mallinfo2 info = ::mallinfo2();
    return info.uordblks + info.hblkhd;
}

} // namespace marlume::testing
