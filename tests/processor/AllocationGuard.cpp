// Replaces the global operator new and delete of the processor test executable. Outside an
// armed guard they only forward to malloc and free.
#include "AllocationGuard.h"

#include <cstdlib>
#include <new>

namespace
{
thread_local bool armed = false;
thread_local long allocationCount = 0;
thread_local long freeCount = 0;

void* allocate (std::size_t size)
{
    if (armed)
        ++allocationCount;
    if (void* p = std::malloc (size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

void* allocateAligned (std::size_t size, std::align_val_t alignment)
{
    if (armed)
        ++allocationCount;
    const auto align = (std::size_t) alignment;
    const std::size_t rounded = ((size == 0 ? 1 : size) + align - 1) / align * align;
    if (void* p = std::aligned_alloc (align, rounded))
        return p;
    throw std::bad_alloc();
}

void release (void* p) noexcept
{
    if (p == nullptr)
        return;
    if (armed)
        ++freeCount;
    std::free (p);
}
} // namespace

ScopedAllocationCount::ScopedAllocationCount() noexcept
    : startAllocations (allocationCount), startFrees (freeCount), wasArmed (armed)
{
    armed = true;
}

ScopedAllocationCount::~ScopedAllocationCount() noexcept { armed = wasArmed; }

long ScopedAllocationCount::allocations() const noexcept { return allocationCount - startAllocations; }
long ScopedAllocationCount::frees() const noexcept { return freeCount - startFrees; }

void* operator new (std::size_t size) { return allocate (size); }
void* operator new[] (std::size_t size) { return allocate (size); }
void* operator new (std::size_t size, const std::nothrow_t&) noexcept
{
    try { return allocate (size); } catch (...) { return nullptr; }
}
void* operator new[] (std::size_t size, const std::nothrow_t&) noexcept
{
    try { return allocate (size); } catch (...) { return nullptr; }
}
void* operator new (std::size_t size, std::align_val_t a) { return allocateAligned (size, a); }
void* operator new[] (std::size_t size, std::align_val_t a) { return allocateAligned (size, a); }

void operator delete (void* p) noexcept { release (p); }
void operator delete[] (void* p) noexcept { release (p); }
void operator delete (void* p, std::size_t) noexcept { release (p); }
void operator delete[] (void* p, std::size_t) noexcept { release (p); }
void operator delete (void* p, const std::nothrow_t&) noexcept { release (p); }
void operator delete[] (void* p, const std::nothrow_t&) noexcept { release (p); }
void operator delete (void* p, std::align_val_t) noexcept { release (p); }
void operator delete[] (void* p, std::align_val_t) noexcept { release (p); }
void operator delete (void* p, std::size_t, std::align_val_t) noexcept { release (p); }
void operator delete[] (void* p, std::size_t, std::align_val_t) noexcept { release (p); }
