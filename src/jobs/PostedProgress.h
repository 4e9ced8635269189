#pragma once
// A progress callback for work on a job's worker: each new percentage reaches the window as
// one posted step. Decoders and encoders report per block, far more often than the window
// needs to hear.

#include <functional>
#include <utility>

#include "BackgroundJob.h"

namespace sonvira {

// `show` runs on the window thread; the callback is for the worker of `job` only.
inline std::function<void(int)> PostedProgress(JobContext& job, std::function<void(int)> show) {
    return [&job, show = std::move(show), shown = -1](int percent) mutable {
        if (percent == shown) return;
        shown = percent;
        job.Post([show, percent] { show(percent); });
    };
}

}  // namespace sonvira
