#include "TMyThread.h"

#include "FillBuffer.h"

#include <mutex>

namespace sonvira {
namespace {

constexpr int32_t kHalfBytes = DeviceBuffer::kHalfBytes;
constexpr int32_t kQuarterBytes = DeviceBuffer::kBytes / 4;

}  // namespace

TMyThread::TMyThread(OutputDevice& device, PlaybackState& state, const AudioDocument& doc,
                     BlockRenderer& renderer, std::chrono::microseconds pollInterval)
    : device_(device),
      state_(state),
      doc_(doc),
      renderer_(renderer),
      pollInterval_(pollInterval),
      staging_(std::make_unique<int16_t[]>(kStagingBytes / 2)) {}

TMyThread::~TMyThread() {
    Terminate();
    WaitFor();
}

void TMyThread::Start() { thread_ = std::thread([this] { Execute(); }); }

void TMyThread::Terminate() noexcept { terminated_.store(true); }

void TMyThread::WaitFor() {
    if (thread_.joinable()) thread_.join();
}

void TMyThread::Execute() {
    while (!terminated_.load()) {
        BufferSpielen();
        std::this_thread::sleep_for(pollInterval_);
    }
}

void TMyThread::BufferSpielen() {
    const int32_t cursor = device_.GetCurrentPosition();
    // The device is in its second half: the first half has been played.
    if (cursor > kHalfBytes && !secondHalfPending_) {
        Refill(0);
        secondHalfPending_ = true;
    }
    // The device is back in the first quarter: the second half has been played.
    if (cursor < kQuarterBytes && secondHalfPending_) {
        Refill(kHalfBytes);
        secondHalfPending_ = false;
    }
}

// Renders the next block (the first time: takes the primed one) and copies it into the
// device ring at deviceOffset, the half just played.
void TMyThread::Refill(int32_t deviceOffset) {
    int16_t* block = staging_.get();
    if (primedBlockWaiting_) {
        primedBlockWaiting_ = false;
    } else {
        // An effect may be rewriting samples on the window thread: it yields the lock
        // between chunks, so this waits a fraction of a millisecond at most.
        const std::lock_guard<std::mutex> samples(doc_.SampleLock);
        renderer_.Render(state_, doc_, block, kOutputBlockBytes);
    }
    DeviceBuffer& ring = device_.Lock();
    ring.Write(deviceOffset, block, kHalfBytes);
    device_.Unlock();
}

}  // namespace sonvira
