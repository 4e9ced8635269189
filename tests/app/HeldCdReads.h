#pragma once
// A simulated drive's reads that the test holds up: a read waits in SimulatedDisc::BeforeRead
// until the test releases it, as a slow or hanging drive would. Shared with the rip's worker,
// which may outlive the test's dialog when the rip is given up.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

namespace sonvira::test {

class HeldCdReads {
public:
    // The hook for SimulatedDisc::BeforeRead; keeps `reads` alive as long as the disc.
    static std::function<void(uint32_t)> Hook(std::shared_ptr<HeldCdReads> reads) {
        return [reads](uint32_t) { reads->Wait(); };
    }
    // Reads wait from now on.
    void Hold() {
        const std::lock_guard lock(mutex_);
        held_ = true;
    }
    // Lets every waiting and later read through.
    void Release() {
        {
            const std::lock_guard lock(mutex_);
            held_ = false;
        }
        changed_.notify_all();
    }
    // Reads that have begun waiting since the start (any thread).
    int Waiting() const { return waiting_.load(); }

private:
    void Wait() {
        std::unique_lock lock(mutex_);
        if (!held_) return;
        ++waiting_;
        // Bounded, so that a test that forgets to release cannot keep a thread forever.
        changed_.wait_for(lock, std::chrono::seconds(30), [this] { return !held_; });
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    bool held_ = false;
    std::atomic<int> waiting_{0};
};

}  // namespace sonvira::test
