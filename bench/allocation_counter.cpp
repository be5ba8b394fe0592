#include "allocation_counter.h"

#include <cstdlib>
#include <new>

// The replacements live in a translation unit of their own, so that no caller sees
// their bodies next to the library's allocations.
namespace {

std::size_t allocations = 0;

} // namespace

std::size_t marlume::bench::allocationCount()
{
    return allocations;
}

void* operator new(std::size_t size)
{
    ++allocations;
    if (void* memory = std::malloc(size == 0 ? 1 : size))
        return memory;
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}
