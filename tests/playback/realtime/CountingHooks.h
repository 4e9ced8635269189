#pragma once
// Counts what a thread must not do while it renders sound: allocate or free memory, lock
// a mutex, wait on a condition or a semaphore, sleep or yield. The test executable that
// links CountingHooks.cpp replaces glibc's allocator entry points and the C++ allocation
// operators with counting ones that forward to glibc (__libc_malloc and its kin), and the
// pthread lock, wait and sleep calls with counting ones that forward to the next
// definition. Only calls made on a thread inside a CountedSection are counted; all
// others pass straight through.
//
// Built without sanitizers: AddressSanitizer and ThreadSanitizer replace the same entry
// points themselves.

#include <cstdint>
#include <string>

namespace sonvira::test {

struct HookCounts {
    int64_t allocations = 0;  // malloc, calloc, realloc, the aligned ones, operator new
    int64_t releases = 0;     // free, operator delete
    int64_t locks = 0;        // pthread mutex, rwlock and spin locks (trylock too)
    int64_t waits = 0;        // condition and semaphore waits, sleeps, yields, joins

    int64_t Total() const { return allocations + releases + locks + waits; }
};

// Counting is armed on the calling thread from construction to destruction. Sections do
// not nest.
class CountedSection {
public:
    CountedSection();
    ~CountedSection();
    CountedSection(const CountedSection&) = delete;
    CountedSection& operator=(const CountedSection&) = delete;
};

// What the calling thread's sections counted since the last ResetCounts.
HookCounts Counts();
void ResetCounts();

// The places that made the calls counted since ResetCounts (up to 16 of them): for each,
// how many calls, which entry point, and the innermost `framesEach` frames of the call
// stack that reached it first, symbolised. Empty when nothing was counted.
std::string CountedCalls(int framesEach = 8);

}  // namespace sonvira::test
