#pragma once
// The window thread's event queue, for tests: the worker posts steps, the test's thread
// runs them.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "BackgroundJob.h"

namespace sonvira::test {

class StepQueue {
public:
    PostToWindow Poster() {
        return [this](std::function<void()> step) {
            {
                const std::lock_guard lock(mutex_);
                steps_.push_back(std::move(step));
            }
            arrived_.notify_all();
        };
    }
    // Runs posted steps until `done()` holds or `limit` passes; returns done().
    template <class Done>
    bool RunUntil(Done done, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            std::unique_lock lock(mutex_);
            if (!arrived_.wait_until(lock, end, [this] { return !steps_.empty(); })) return done();
            auto step = std::move(steps_.front());
            steps_.pop_front();
            lock.unlock();
            step();
        }
        return true;
    }
    // Runs whatever is queued now.
    void Drain() {
        for (;;) {
            std::unique_lock lock(mutex_);
            if (steps_.empty()) return;
            auto step = std::move(steps_.front());
            steps_.pop_front();
            lock.unlock();
            step();
        }
    }

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<std::function<void()>> steps_;
};

}  // namespace sonvira::test
