// The stream thread's promise, checked: rendering a block allocates nothing, frees nothing,
// locks nothing and waits for nothing, with either engine, whatever the window does
// between blocks. Counting hooks replace the allocator and the pthread calls of this
// executable and count what the render calls make on this thread.
#include "CountingHooks.h"
#include "RenderEventTable.h"
#include "RubberBandRenderer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace sonvira::test {
namespace {

// Keeps the compiler from dropping an allocation it can see is unused.
void Escape(void* p) { asm volatile("" : : "g"(p) : "memory"); }

// The hooks themselves: each of these is something a render must not do, made on purpose
// inside a section, and each must be counted as what it is, or the zero counts of the
// renders below would prove nothing.
TEST(CountingHooks, CountWhatARenderMustNotDo) {
    std::mutex mutex;
    const struct {
        const char* name;
        std::function<void()> act;
        int64_t HookCounts::*field;
        const char* entry;  // the replacement that must have counted it
    } cases[] = {
        {"malloc", [] { void* p = std::malloc(100); Escape(p); std::free(p); }, &HookCounts::allocations, "malloc"},
        {"free", [] { void* p = __builtin_malloc(8); Escape(p); std::free(p); }, &HookCounts::releases, "free"},
        {"operator new", [] { auto* p = new int[3]; Escape(p); delete[] p; }, &HookCounts::allocations,
         "operator new[]"},
        {"vector growth", [] { std::vector<int> v; v.push_back(1); Escape(v.data()); }, &HookCounts::allocations,
         "operator new"},
        {"posix_memalign", [] { void* p = nullptr; if (posix_memalign(&p, 64, 256) == 0) Escape(p); std::free(p); },
         &HookCounts::allocations, "posix_memalign"},
        // Made inside Rubber Band's shared library: its calls reach the hooks too.
        {"a stretcher made", [] { RubberBandRenderer renderer; Escape(&renderer); }, &HookCounts::allocations,
         "librubberband"},
        {"std::mutex", [&mutex] { const std::lock_guard<std::mutex> hold(mutex); }, &HookCounts::locks,
         "pthread_mutex_lock"},
        {"sleep_for", [] { std::this_thread::sleep_for(std::chrono::microseconds(1)); }, &HookCounts::waits,
         "nanosleep"},
        {"yield", [] { std::this_thread::yield(); }, &HookCounts::waits, "sched_yield"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetCounts();
        {
            CountedSection armed;
            c.act();
        }
        EXPECT_GE(Counts().*c.field, 1);
        EXPECT_NE(CountedCalls().find(c.entry), std::string::npos) << CountedCalls();
    }
}

// The counts are the armed thread's own: another thread allocating meanwhile adds nothing,
// and its own section counts only there.
TEST(CountingHooks, CountOnlyInsideASectionOnItsOwnThread) {
    ResetCounts();
    void* p = std::malloc(100);
    Escape(p);
    std::free(p);
    EXPECT_EQ(Counts().Total(), 0) << "counted outside a section";

    std::atomic<bool> done{false};
    std::thread other([&done] {
        void* q = std::malloc(100);
        Escape(q);
        std::free(q);
        done = true;
    });
    {
        CountedSection armed;
        while (!done.load()) {
        }
    }
    other.join();
    EXPECT_EQ(Counts().Total(), 0) << "another thread's allocation counted here";

    int64_t countedThere = -1;
    std::thread([&countedThere] {
        {
            CountedSection armed;
            void* q = std::malloc(100);
            Escape(q);
            std::free(q);
        }
        countedThere = Counts().allocations;
    }).join();
    EXPECT_EQ(countedThere, 1);
    EXPECT_EQ(Counts().Total(), 0) << "the other thread's section counted here";
}

class RenderOnStreamThread : public testing::TestWithParam<std::tuple<size_t, bool>> {};

// Every block of every event, as the stream thread renders it, with counting armed around
// the render call alone (the window's changes between blocks are the window's).
TEST_P(RenderOnStreamThread, AllocatesLocksAndWaitsForNothing) {
    const auto [index, highQuality] = GetParam();
    const RenderEvent& event = kRenderEvents[index];
    RenderSession session;
    ResetCounts();
    int rendered = 0;
    PlayEvent(event, highQuality, session, [&rendered](const auto& render) {
        CountedSection armed;
        render();
        ++rendered;
    });
    ASSERT_EQ(rendered, event.blocks);
    const HookCounts counts = Counts();
    EXPECT_EQ(counts.Total(), 0) << counts.allocations << " allocations, " << counts.releases << " releases, "
                                 << counts.locks << " locks, " << counts.waits << " waits:\n"
                                 << CountedCalls();
}

std::string RowName(const testing::TestParamInfo<std::tuple<size_t, bool>>& info) {
    return std::string(kRenderEvents[std::get<0>(info.param)].name) +
           (std::get<1>(info.param) ? "_high_quality" : "_standard");
}

INSTANTIATE_TEST_SUITE_P(Events, RenderOnStreamThread,
                         testing::Combine(testing::Range<size_t>(0, std::size(kRenderEvents)), testing::Bool()),
                         RowName);

}  // namespace
}  // namespace sonvira::test
