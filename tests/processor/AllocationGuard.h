#pragma once

// Counts heap allocations and frees made through the global operator new and delete on the
// calling thread while a guard is alive, so a test can prove that code run inside the guard
// (the audio callback) never allocates or frees. Other threads and other tests are unaffected.
class ScopedAllocationCount
{
public:
    ScopedAllocationCount() noexcept;
    ~ScopedAllocationCount() noexcept;

    long allocations() const noexcept;
    long frees() const noexcept;

    ScopedAllocationCount (const ScopedAllocationCount&) = delete;
    ScopedAllocationCount& operator= (const ScopedAllocationCount&) = delete;

private:
    long startAllocations, startFrees;
    bool wasArmed;
};
