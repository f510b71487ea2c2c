#ifndef GLIMWICK_FRAME_PAGEALLOCATOR_H
#define GLIMWICK_FRAME_PAGEALLOCATOR_H

#include <windows.h>

#include <cstddef>
#include <new>

// An allocator for large buffers that live only for one task: each block
// comes straight from the system and goes back whole when freed. Blocks
// from the run-time heap would leave the heap as large as the largest task
// ever made it, resident for the rest of the run.
template <typename T>
class CPageAllocator
{
public:
    using value_type = T;

    CPageAllocator() = default;
    template <typename U>
    CPageAllocator(const CPageAllocator<U>&) noexcept
    {
    }

    // Throws std::bad_alloc when the system has no such block.
    T* allocate(std::size_t n)
    {
        if (n > static_cast<std::size_t>(-1) / sizeof(T))
            throw std::bad_alloc();
        void* p = ::VirtualAlloc(NULL, n * sizeof(T), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (!p)
            throw std::bad_alloc();
        return static_cast<T*>(p);
    }
    void deallocate(T* p, std::size_t) noexcept { ::VirtualFree(p, 0, MEM_RELEASE); }

    template <typename U>
    bool operator==(const CPageAllocator<U>&) const noexcept
    {
        return true;
    }
    template <typename U>
    bool operator!=(const CPageAllocator<U>&) const noexcept
    {
        return false;
    }
};

#endif
