// The counting replacements. Each allocator entry point forwards to glibc's own
// (__libc_malloc and its kin, which glibc exports for exactly this); each lock, wait and
// sleep forwards to the definition it hides, found once with dlsym(RTLD_NEXT).
#include "CountingHooks.h"

#include <cxxabi.h>
#include <dlfcn.h>
#include <execinfo.h>
#include <pthread.h>
#include <semaphore.h>
#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <new>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* p, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void* __libc_valloc(size_t size);
void* __libc_pvalloc(size_t size);
void __libc_free(void* p);
}

namespace sonvira::test {
namespace {

enum class Kind { kAllocation, kRelease, kLock, kWait };

constexpr int kMaxFrames = 24;
constexpr int kMaxSites = 16;

// One place that made counted calls: the entry point and the call stack of its first call.
struct Site {
    const char* name;
    void* frames[kMaxFrames];
    int depth;
    int64_t calls;
};

// Thread-local and of plain types, so that keeping them allocates nothing itself.
thread_local bool armed = false;
thread_local HookCounts counts;
thread_local Site sites[kMaxSites];
thread_local int siteCount = 0;

// Two calls come from the same place when the four frames above the replacement match.
bool SamePlace(const Site& site, const char* name, void* const* frames, int depth) {
    if (site.name != name || site.depth != depth) return false;
    for (int i = 2; i < std::min(depth, 6); ++i)
        if (site.frames[i] != frames[i]) return false;
    return true;
}

[[gnu::noinline]] void Record(const char* name) {
    void* frames[kMaxFrames];
    const int depth = backtrace(frames, kMaxFrames);
    for (int i = 0; i < siteCount; ++i) {
        if (SamePlace(sites[i], name, frames, depth)) {
            ++sites[i].calls;
            return;
        }
    }
    if (siteCount == kMaxSites) return;
    Site& site = sites[siteCount++];
    site.name = name;
    std::copy(frames, frames + depth, site.frames);
    site.depth = depth;
    site.calls = 1;
}

[[gnu::noinline]] void Count(Kind kind, const char* name) {
    if (!armed) return;
    armed = false;  // what the recording below calls is not counted
    switch (kind) {
    case Kind::kAllocation: ++counts.allocations; break;
    case Kind::kRelease: ++counts.releases; break;
    case Kind::kLock: ++counts.locks; break;
    case Kind::kWait: ++counts.waits; break;
    }
    Record(name);
    armed = true;
}

// backtrace() loads libgcc's unwinder on its first call, which allocates: done here once,
// before any section is armed.
[[gnu::constructor]] void LoadUnwinder() {
    void* frames[2];
    backtrace(frames, 2);
}

// The definition a replacement hides, looked up on first use. A race between two first
// uses finds the same address twice.
template <class Fn>
Fn Next(std::atomic<void*>& slot, const char* name) {
    void* fn = slot.load(std::memory_order_relaxed);
    if (fn == nullptr) {
        fn = dlsym(RTLD_NEXT, name);
        if (fn == nullptr) std::abort();
        slot.store(fn, std::memory_order_relaxed);
    }
    return reinterpret_cast<Fn>(fn);
}

// One replacement that counts and forwards to the hidden definition of the same name.
#define SONVIRA_FORWARD(kind, ret, name, params, args)                \
    extern "C" ret name params {                                      \
        static std::atomic<void*> next{nullptr};                      \
        ::sonvira::test::Count(kind, #name);                          \
        return ::sonvira::test::Next<ret(*) params>(next, #name) args; \
    }

std::string Demangled(const char* line) {
    // backtrace_symbols gives "object(mangled+0xoffset) [address]".
    std::string text(line);
    const auto open = text.find('('), plus = text.find('+', open == std::string::npos ? 0 : open);
    if (open == std::string::npos || plus == std::string::npos || plus == open + 1) return text;
    const std::string mangled = text.substr(open + 1, plus - open - 1);
    int status = 0;
    char* plain = abi::__cxa_demangle(mangled.c_str(), nullptr, nullptr, &status);
    if (status != 0 || plain == nullptr) return text;
    text.replace(open + 1, plus - open - 1, plain);
    std::free(plain);
    return text;
}

void* Aligned(size_t alignment, size_t size) {
    return __libc_memalign(alignment, size);
}

}  // namespace

CountedSection::CountedSection() { armed = true; }
CountedSection::~CountedSection() { armed = false; }

HookCounts Counts() { return counts; }

void ResetCounts() {
    counts = {};
    siteCount = 0;
}

std::string CountedCalls(int framesEach) {
    std::string text;
    for (int s = 0; s < siteCount; ++s) {
        const Site& site = sites[s];
        text += std::to_string(site.calls) + " × " + site.name + " from\n";
        char** lines = backtrace_symbols(site.frames, site.depth);
        // Frames 0 to 2 are Record, Count and the replacement itself.
        for (int i = 3; lines != nullptr && i < std::min(site.depth, 3 + framesEach); ++i)
            text += "    " + Demangled(lines[i]) + "\n";
        std::free(lines);
    }
    return text;
}

}  // namespace sonvira::test

using sonvira::test::Count;
using sonvira::test::Kind;

// The C allocator.
extern "C" {

void* malloc(size_t size) {
    Count(Kind::kAllocation, "malloc");
    return __libc_malloc(size);
}

void* calloc(size_t count, size_t size) {
    Count(Kind::kAllocation, "calloc");
    return __libc_calloc(count, size);
}

void* realloc(void* p, size_t size) {
    Count(Kind::kAllocation, "realloc");
    return __libc_realloc(p, size);
}

void free(void* p) {
    if (p != nullptr) Count(Kind::kRelease, "free");
    __libc_free(p);
}

int posix_memalign(void** out, size_t alignment, size_t size) {
    Count(Kind::kAllocation, "posix_memalign");
    if (alignment % sizeof(void*) != 0 || (alignment & (alignment - 1)) != 0) return EINVAL;
    void* p = sonvira::test::Aligned(alignment, size);
    if (p == nullptr) return ENOMEM;
    *out = p;
    return 0;
}

void* aligned_alloc(size_t alignment, size_t size) {
    Count(Kind::kAllocation, "aligned_alloc");
    return sonvira::test::Aligned(alignment, size);
}

void* memalign(size_t alignment, size_t size) {
    Count(Kind::kAllocation, "memalign");
    return sonvira::test::Aligned(alignment, size);
}

void* valloc(size_t size) {
    Count(Kind::kAllocation, "valloc");
    return __libc_valloc(size);
}

void* pvalloc(size_t size) {
    Count(Kind::kAllocation, "pvalloc");
    return __libc_pvalloc(size);
}

}  // extern "C"

// The C++ allocation operators, counted as such even where they would reach malloc.
namespace {

void* CountedNew(size_t size, const char* name) {
    Count(Kind::kAllocation, name);
    if (size == 0) size = 1;
    void* p = __libc_malloc(size);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}

void* CountedAlignedNew(size_t size, std::align_val_t alignment, const char* name) {
    Count(Kind::kAllocation, name);
    if (size == 0) size = 1;
    void* p = __libc_memalign(static_cast<size_t>(alignment), size);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}

void CountedDelete(void* p, const char* name) {
    if (p != nullptr) Count(Kind::kRelease, name);
    __libc_free(p);
}

}  // namespace

void* operator new(size_t size) { return CountedNew(size, "operator new"); }
void* operator new[](size_t size) { return CountedNew(size, "operator new[]"); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    Count(Kind::kAllocation, "operator new(nothrow)");
    return __libc_malloc(size == 0 ? 1 : size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    Count(Kind::kAllocation, "operator new[](nothrow)");
    return __libc_malloc(size == 0 ? 1 : size);
}
void* operator new(size_t size, std::align_val_t a) { return CountedAlignedNew(size, a, "operator new(aligned)"); }
void* operator new[](size_t size, std::align_val_t a) { return CountedAlignedNew(size, a, "operator new[](aligned)"); }
void* operator new(size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
    Count(Kind::kAllocation, "operator new(aligned, nothrow)");
    return __libc_memalign(static_cast<size_t>(a), size == 0 ? 1 : size);
}
void* operator new[](size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
    Count(Kind::kAllocation, "operator new[](aligned, nothrow)");
    return __libc_memalign(static_cast<size_t>(a), size == 0 ? 1 : size);
}
void operator delete(void* p) noexcept { CountedDelete(p, "operator delete"); }
void operator delete[](void* p) noexcept { CountedDelete(p, "operator delete[]"); }
void operator delete(void* p, size_t) noexcept { CountedDelete(p, "operator delete"); }
void operator delete[](void* p, size_t) noexcept { CountedDelete(p, "operator delete[]"); }
void operator delete(void* p, const std::nothrow_t&) noexcept { CountedDelete(p, "operator delete"); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { CountedDelete(p, "operator delete[]"); }
void operator delete(void* p, std::align_val_t) noexcept { CountedDelete(p, "operator delete(aligned)"); }
void operator delete[](void* p, std::align_val_t) noexcept { CountedDelete(p, "operator delete[](aligned)"); }
void operator delete(void* p, size_t, std::align_val_t) noexcept { CountedDelete(p, "operator delete(aligned)"); }
void operator delete[](void* p, size_t, std::align_val_t) noexcept { CountedDelete(p, "operator delete[](aligned)"); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept {
    CountedDelete(p, "operator delete(aligned)");
}
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept {
    CountedDelete(p, "operator delete[](aligned)");
}

// Locks, waits and sleeps.
SONVIRA_FORWARD(Kind::kLock, int, pthread_mutex_lock, (pthread_mutex_t * m), (m))
SONVIRA_FORWARD(Kind::kLock, int, pthread_mutex_trylock, (pthread_mutex_t * m), (m))
SONVIRA_FORWARD(Kind::kLock, int, pthread_mutex_timedlock, (pthread_mutex_t * m, const timespec* t), (m, t))
SONVIRA_FORWARD(Kind::kLock, int, pthread_rwlock_rdlock, (pthread_rwlock_t * l), (l))
SONVIRA_FORWARD(Kind::kLock, int, pthread_rwlock_wrlock, (pthread_rwlock_t * l), (l))
SONVIRA_FORWARD(Kind::kLock, int, pthread_rwlock_tryrdlock, (pthread_rwlock_t * l), (l))
SONVIRA_FORWARD(Kind::kLock, int, pthread_rwlock_trywrlock, (pthread_rwlock_t * l), (l))
SONVIRA_FORWARD(Kind::kLock, int, pthread_spin_lock, (pthread_spinlock_t * l), (l))
SONVIRA_FORWARD(Kind::kLock, int, pthread_spin_trylock, (pthread_spinlock_t * l), (l))
SONVIRA_FORWARD(Kind::kWait, int, pthread_cond_wait, (pthread_cond_t * c, pthread_mutex_t* m), (c, m))
SONVIRA_FORWARD(Kind::kWait, int, pthread_cond_timedwait,
                (pthread_cond_t * c, pthread_mutex_t* m, const timespec* t), (c, m, t))
SONVIRA_FORWARD(Kind::kWait, int, pthread_join, (pthread_t t, void** result), (t, result))
SONVIRA_FORWARD(Kind::kWait, int, sem_wait, (sem_t * s), (s))
SONVIRA_FORWARD(Kind::kWait, int, sem_timedwait, (sem_t * s, const timespec* t), (s, t))
SONVIRA_FORWARD(Kind::kWait, int, nanosleep, (const timespec* t, timespec* rest), (t, rest))
SONVIRA_FORWARD(Kind::kWait, int, clock_nanosleep, (clockid_t c, int flags, const timespec* t, timespec* rest),
                (c, flags, t, rest))
SONVIRA_FORWARD(Kind::kWait, int, usleep, (useconds_t us), (us))
SONVIRA_FORWARD(Kind::kWait, unsigned, sleep, (unsigned s), (s))
SONVIRA_FORWARD(Kind::kWait, int, sched_yield, (), ())
