#pragma once

#include <cstddef>
#include <vector>

// Memory for arrays of hundreds of megabytes, as the automaton of long phrases needs: on huge pages where
// the system offers them, since such an array is built by touching every page once and walked at random,
// and both cost per page.
void* allocateLargeArray(std::size_t bytes);
void freeLargeArray(void* memory, std::size_t bytes);

template <typename T>
struct LargeArrayAllocator
{
    using value_type = T;

    LargeArrayAllocator() = default;
    template <typename U>
    LargeArrayAllocator(const LargeArrayAllocator<U>&)
    {
    }

    T* allocate(std::size_t count) { return static_cast<T*>(allocateLargeArray(count * sizeof(T))); }
    void deallocate(T* memory, std::size_t count) { freeLargeArray(memory, count * sizeof(T)); }
    bool operator==(const LargeArrayAllocator&) const = default;
};

template <typename T>
using LargeArray = std::vector<T, LargeArrayAllocator<T>>;
