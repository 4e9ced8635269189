// Long work on its own thread: steps reach the window thread in order, a cancel is seen,
// work stuck in a call is abandoned at once and nothing of it arrives afterwards. Runs
// under ThreadSanitizer too.

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <memory>
#include <vector>

#include "BackgroundJob.h"
#include "StepQueue.h"

namespace sonvira {
namespace {

using namespace std::chrono_literals;

struct JobFixture : ::testing::Test {
    test::StepQueue window;
    BackgroundJob job{window.Poster()};
};

TEST_F(JobFixture, StepsArriveInOrderThenTheEnd) {
    std::vector<int> seen;  // window thread only
    bool ended = false;
    bool runningAtEnd = true;
    ASSERT_TRUE(job.Start(
        [&seen](JobContext& context) {
            for (int i = 0; i < 200; ++i) context.Post([&seen, i] { seen.push_back(i); });
        },
        [&] {
            ended = true;
            runningAtEnd = job.Running();
        }));
    EXPECT_TRUE(job.Running());
    EXPECT_FALSE(job.Start([](JobContext&) {}, nullptr)) << "one job at a time";
    ASSERT_TRUE(window.RunUntil([&] { return ended; }));
    ASSERT_EQ(seen.size(), 200u);
    for (int i = 0; i < 200; ++i) EXPECT_EQ(seen[static_cast<size_t>(i)], i);
    EXPECT_FALSE(runningAtEnd);
    EXPECT_TRUE(job.Start([](JobContext&) {}, nullptr)) << "the next job may start";
    EXPECT_TRUE(window.RunUntil([&] { return !job.Running(); }));
}

TEST_F(JobFixture, CancelIsSeenByTheWorkWhileTheWindowPolls) {
    std::atomic<int> rounds{0};
    bool ended = false;
    job.Start(
        [&rounds](JobContext& context) {
            while (!context.Cancelled()) {
                ++rounds;
                context.Post([] {});
                std::this_thread::sleep_for(1ms);
            }
        },
        [&] { ended = true; });
    window.RunUntil([&] { return rounds.load() > 5; });
    job.Cancel();
    EXPECT_TRUE(window.RunUntil([&] { return ended; }, 2s));
}

TEST_F(JobFixture, StuckWorkIsAbandonedAndNothingOfItArrivesAfterwards) {
    std::promise<void> release;
    auto released = release.get_future().share();
    auto returned = std::make_shared<std::atomic<bool>>(false);
    bool lateStepRan = false;
    bool finishedRan = false;
    job.Start(
        [released, returned, &lateStepRan](JobContext& context) {
            context.Post([] {});  // before the abandon: may run
            released.wait();      // a drive that does not answer
            context.Post([&lateStepRan] { lateStepRan = true; });
            returned->store(true);
        },
        [&] { finishedRan = true; });
    window.RunUntil([] { return false; }, 20ms);
    job.Abandon();
    EXPECT_FALSE(job.Running());
    release.set_value();
    while (!returned->load()) std::this_thread::sleep_for(1ms);
    window.RunUntil([] { return false; }, 50ms);
    EXPECT_FALSE(lateStepRan);
    EXPECT_FALSE(finishedRan);
}

TEST_F(JobFixture, AStepPostedBeforeTheAbandonButNotYetRunIsDropped) {
    auto posted = std::make_shared<std::atomic<bool>>(false);
    auto returned = std::make_shared<std::atomic<bool>>(false);
    bool ran = false;
    std::promise<void> release;
    auto released = release.get_future().share();
    job.Start(
        [posted, returned, released, &ran](JobContext& context) {
            context.Post([&ran] { ran = true; });
            posted->store(true);
            released.wait();
            returned->store(true);
        },
        nullptr);
    while (!posted->load()) std::this_thread::sleep_for(1ms);
    job.Abandon();
    release.set_value();
    while (!returned->load()) std::this_thread::sleep_for(1ms);
    window.Drain();
    EXPECT_FALSE(ran);
}

TEST(BackgroundJobEnd, DestroyingWaitsForWorkThatStopsAndGivesUpOnWorkThatHangs) {
    test::StepQueue window;
    const auto timeToDestroy = [&window](bool hangs) {
        auto job = std::make_unique<BackgroundJob>(window.Poster());
        auto release = std::make_shared<std::promise<void>>();
        auto released = release->get_future().share();
        auto started = std::make_shared<std::promise<void>>();
        job->Start(
            [hangs, released, started](JobContext& context) {
                started->set_value();
                if (hangs)
                    released.wait();
                else
                    while (!context.Cancelled()) std::this_thread::sleep_for(1ms);
            },
            nullptr);
        started->get_future().wait();
        const auto begin = std::chrono::steady_clock::now();
        job.reset();
        const auto took = std::chrono::steady_clock::now() - begin;
        release->set_value();  // the abandoned thread ends on its own
        return took;
    };
    EXPECT_LT(timeToDestroy(false), 500ms);
    const auto hanging = timeToDestroy(true);
    EXPECT_GE(hanging, BackgroundJob::kCloseWait);
    EXPECT_LT(hanging, BackgroundJob::kCloseWait + 500ms);
    std::this_thread::sleep_for(20ms);  // let the released thread end before the test does
}

}  // namespace
}  // namespace sonvira
