#include "TMyThread.h"

#include "FillBuffer.h"

#include <mutex>

namespace sonvira {
namespace {

constexpr int32_t kHalfBytes = DeviceBuffer::kHalfBytes;
constexpr int32_t kQuarterBytes = DeviceBuffer::kBytes / 4;
constexpr int32_t kHalfSamples = kHalfBytes / 2;  // int16 values in one half

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
    int16_t* first = staging_.get();
    int16_t* second = first + kHalfSamples;
    // The device is in its second half: the first half has been played.
    if (cursor > kHalfBytes && !secondHalfPending_) {
        Refill(0, first, second);
        secondHalfPending_ = true;
    }
    // The device is back in the first quarter: the second half has been played.
    if (cursor < kQuarterBytes && secondHalfPending_) {
        Refill(kHalfBytes, second, first);
        secondHalfPending_ = false;
    }
}

// Copies one staging half into the device ring at deviceOffset, then renders the
// next block into the other staging half.
void TMyThread::Refill(int32_t deviceOffset, int16_t* stagingHalf, int16_t* renderInto) {
    DeviceBuffer& ring = device_.Lock();
    ring.Write(deviceOffset, stagingHalf, kHalfBytes);
    device_.Unlock();
    // An effect may be rewriting samples on the window thread: it yields the lock
    // between chunks, so this waits a fraction of a millisecond at most.
    const std::lock_guard<std::mutex> samples(doc_.SampleLock);
    renderer_.Render(state_, doc_, renderInto, kOutputBlockBytes);
}

}  // namespace sonvira
