#include "scanner/LargeArray.h"

#include <cstdlib>
#ifdef _WIN32
#include <malloc.h>
#endif
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace {

// Smaller arrays come from the ordinary heap; larger ones are rounded up to whole huge pages.
constexpr std::size_t HugePage = std::size_t(2) << 20;
constexpr std::size_t LargeFrom = 2 * HugePage;

std::size_t roundedUp(std::size_t bytes)
{
    return (bytes + HugePage - 1) / HugePage * HugePage;
}

} // namespace

void* allocateLargeArray(std::size_t bytes)
{
    if (bytes < LargeFrom)
        return ::operator new(bytes);
#ifdef _WIN32
    void* memory = _aligned_malloc(roundedUp(bytes), HugePage);
#else
    void* memory = std::aligned_alloc(HugePage, roundedUp(bytes));
#endif
    if (!memory)
        throw std::bad_alloc();
#ifdef __linux__
    // Only advice: without huge pages the array works the same on ordinary ones.
    madvise(memory, roundedUp(bytes), MADV_HUGEPAGE);
#endif
    return memory;
}

void freeLargeArray(void* memory, std::size_t bytes)
{
    if (bytes < LargeFrom)
        ::operator delete(memory);
    else
#ifdef _WIN32
        _aligned_free(memory);
#else
        std::free(memory);
#endif
}
