#include "BackgroundJob.h"

#include <utility>

namespace sonvira {

void JobContext::Post(std::function<void()> step) {
    const std::lock_guard lock(postMutex_);
    if (abandoned_) return;
    post_([self = shared_from_this(), step = std::move(step)] {
        if (!self->Abandoned()) step();
    });
}

bool JobContext::Abandoned() {
    const std::lock_guard lock(postMutex_);
    return abandoned_;
}

BackgroundJob::BackgroundJob(PostToWindow post) : post_(std::move(post)) {}

BackgroundJob::~BackgroundJob() { Close(); }

void BackgroundJob::Close() {
    if (!Running()) return;
    Cancel();
    const bool returned = WaitForWork(kCloseWait);
    StopListening(returned);
}

bool BackgroundJob::Start(std::function<void(JobContext&)> work, std::function<void()> finished) {
    if (Running()) return false;
    if (worker_.joinable()) worker_.join();  // a finished job's thread has ended or is ending
    auto context = std::make_shared<JobContext>();
    context->post_ = post_;
    context_ = context;
    // The step that ends the job is posted by the work itself, after everything else it
    // posted, so the window sees the steps and then the end in order.
    auto ending = [this, finished = std::move(finished)] {
        Finish();
        if (finished) finished();
    };
    worker_ = std::thread([context, work = std::move(work), ending = std::move(ending)]() mutable {
        work(*context);
        {
            const std::lock_guard lock(context->doneMutex_);
            context->workReturned_ = true;
        }
        context->doneChanged_.notify_all();
        context->Post(std::move(ending));
    });
    return true;
}

void BackgroundJob::Finish() {
    if (worker_.joinable()) worker_.join();  // the work has returned: at most a moment
    context_.reset();
}

void BackgroundJob::Cancel() {
    if (context_) context_->cancelled_.store(true, std::memory_order_release);
}

void BackgroundJob::Abandon() {
    if (!context_) return;
    Cancel();
    StopListening(false);
}

void BackgroundJob::StopListening(bool workReturned) {
    {
        const std::lock_guard lock(context_->postMutex_);
        context_->abandoned_ = true;
    }
    // Work that has returned ends its thread at once; other work ends it by itself.
    if (worker_.joinable()) {
        if (workReturned)
            worker_.join();
        else
            worker_.detach();
    }
    context_.reset();
}

bool BackgroundJob::WaitForWork(std::chrono::milliseconds limit) {
    if (!context_) return true;
    std::unique_lock lock(context_->doneMutex_);
    return context_->doneChanged_.wait_for(lock, limit, [this] { return context_->workReturned_; });
}

}  // namespace sonvira
