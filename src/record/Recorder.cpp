#include "Recorder.h"

#include <chrono>
#include <cstdio>
#include <utility>

namespace sonvira {
namespace {

// How long the worker waits for a block before it looks at its stop flag again.
constexpr std::chrono::milliseconds kWorkerPoll{20};

}  // namespace

Recorder::Recorder(std::function<std::unique_ptr<CaptureDevice>()> openDevice, int64_t maxBytes)
    : openDevice_(std::move(openDevice)), maxBytes_(maxBytes) {}

Recorder::~Recorder() { StopCapture(); }

void Recorder::StartCapture() {
    StopCapture();
    ring_.Reset();
    recording_.Clear();
    limitReached_.store(false);
    workerStop_.store(false);
    worker_ = std::thread(&Recorder::Work, this);
    device_ = openDevice_();
    if (device_ == nullptr || !device_->Start(ring_)) {
        device_.reset();
        std::fputs("sonvira: no sound input could be opened; nothing is recorded\n", stderr);
    }
}

void Recorder::StopCapture() {
    if (!worker_.joinable()) return;
    // The worker first: what the input delivers from now on, the partly filled last
    // block among it, no longer belongs to the recording.
    workerStop_.store(true, std::memory_order_release);
    if (device_ != nullptr) {
        device_->Stop();
        device_.reset();
    }
    worker_.join();
}

Recorder::Recording Recorder::TakeRecording() {
    if (Capturing()) return {};
    const RecordingBuffer::Block block = recording_.Take();
    // At most maxBytes_, which is at most kMaxBytes: fits a document's size.
    return {block.data, static_cast<int32_t>(block.size)};
}

void Recorder::Work() {
    while (!workerStop_.load(std::memory_order_acquire)) {
        if (ring_.WaitForBlock(kWorkerPoll)) {
            Append(ring_.Front());
            ring_.Pop();
        }
    }
    // Asked to end: the whole blocks published before still belong to the recording.
    for (int32_t waiting = ring_.Available(); waiting > 0; --waiting) {
        Append(ring_.Front());
        ring_.Pop();
    }
}

void Recorder::Append(const uint8_t* block) {
    if (limitReached_.load(std::memory_order_relaxed)) return;
    if (recording_.Size() + kBlockBytes > maxBytes_) {
        limitReached_.store(true);
        return;
    }
    // A failed growth sets the buffer's flag and refuses every later block.
    recording_.Append(block, kBlockBytes);
}

}  // namespace sonvira
