#pragma once
// One piece of long work (decoding a file, reading a CD track, an effect on a long sound)
// on a thread of its own, so that the window stays responsive. The work reports progress,
// log lines and its result as steps that run on the window thread, in the order it posted
// them, through the `PostToWindow` function the window supplies (a queued call in the
// program, a queue the test drains in tests).
//
// Threads: Start, Running, Cancel, Abandon, Close, WaitForWork and the destructor on the window
// thread; JobContext on the worker. Nothing here knows of Qt.
//
// Cancelling asks; the work decides when to stop (it polls JobContext::Cancelled). Work
// stuck in a call that does not return (a CD read the drive never answers) is abandoned:
// the window stops waiting for it at once, nothing it posts afterwards reaches the window,
// and the thread ends on its own when the call returns. Work that may be abandoned must
// therefore own (share) everything it touches; it must not borrow from the window.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace sonvira {

// Hands a step to the window thread; called from the worker. Must not block for long.
using PostToWindow = std::function<void(std::function<void()>)>;

// What the work sees of its job.
class JobContext : public std::enable_shared_from_this<JobContext> {
public:
    // Whether the window asked the work to stop. Any thread; never blocks.
    bool Cancelled() const { return cancelled_.load(std::memory_order_acquire); }
    // The cancel request as a flag for code that watches one (the decoders).
    const std::atomic<bool>& CancelFlag() const { return cancelled_; }
    // Runs `step` on the window thread after every step posted before it; dropped when the
    // job has been abandoned, also when that happens after posting. Worker thread.
    void Post(std::function<void()> step);

private:
    friend class BackgroundJob;
    bool Abandoned();
    std::atomic<bool> cancelled_{false};
    std::mutex postMutex_;     // orders Post against Abandon
    bool abandoned_ = false;   // under postMutex_
    PostToWindow post_;
    std::mutex doneMutex_;
    std::condition_variable doneChanged_;
    bool workReturned_ = false;  // under doneMutex_
};

class BackgroundJob {
public:
    explicit BackgroundJob(PostToWindow post);
    // Close().
    ~BackgroundJob();
    BackgroundJob(const BackgroundJob&) = delete;
    BackgroundJob& operator=(const BackgroundJob&) = delete;

    // Closing gives a job this long, so that the program still ends within a second.
    static constexpr std::chrono::milliseconds kCloseWait{600};

    // Starts `work` on a new thread; once it has returned, `finished` runs on the window
    // thread (after every step the work posted), unless the job was abandoned meanwhile.
    // Running() is false inside `finished`. Refused (false) while a job runs.
    bool Start(std::function<void(JobContext&)> work, std::function<void()> finished);
    // From Start until `finished` has run or the job was abandoned.
    bool Running() const { return context_ != nullptr; }
    // Asks the work to stop; it ends at its next check. Safe when nothing runs.
    void Cancel();
    // Cancels and stops listening: nothing the work posts from now on runs, `finished`
    // does not run, Running() is false at once; the thread ends by itself.
    void Abandon();
    // For closing the program: cancels, gives the work up to `kCloseWait` to return (a
    // decoder deletes its temporary file), then stops listening as Abandon does. The
    // window thread is blocked meanwhile. Running() is false afterwards.
    void Close();
    // Waits at most `limit` for the work to return (its posted steps may still be
    // pending). True when it has returned or nothing runs. For closing the program only:
    // the window thread is blocked meanwhile.
    bool WaitForWork(std::chrono::milliseconds limit);

private:
    void Finish();
    void StopListening(bool workReturned);

    PostToWindow post_;
    std::shared_ptr<JobContext> context_;
    std::thread worker_;
};

}  // namespace sonvira
