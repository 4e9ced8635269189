// The recorder while its input delivers from another thread, as the audio callback
// does: the window thread starts, watches the size and stops, again and again. Run also
// under ThreadSanitizer.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "FakeCaptureDevice.h"
#include "NumberedFrames.h"
#include "Recorder.h"

namespace sonvira {
namespace {

using namespace std::chrono_literals;
using test::FrameNumber;

constexpr int32_t kBlockBytes = Recorder::kBlockBytes;
constexpr int32_t kBlockFrames = CaptureRing::kBlockFrames;

// Numbered frames in pieces of 1000 frames, about 4 blocks per millisecond at most,
// until told to end.
class Deliverer {
  public:
    explicit Deliverer(FakeCaptureDevice& input) : thread_([this, &input] { Run(input); }) {}
    ~Deliverer() {
        end_.store(true);
        thread_.join();
    }

  private:
    void Run(FakeCaptureDevice& input) {
        uint32_t next = 0;
        for (int piece = 1; !end_.load(); ++piece) {
            const std::vector<int16_t> frames = test::NumberedFrames(next, 1000);
            input.Deliver(frames.data(), 1000);
            next += 1000;
            if (piece % 16 == 0) std::this_thread::sleep_for(1ms);
        }
    }

    std::atomic<bool> end_{false};
    std::thread thread_;
};

// Frames inside a block follow on one another; between blocks, only whole blocks the
// ring dropped may be missing. Returns the number of blocks missing.
int64_t CheckOrder(const uint8_t* recording, int32_t size) {
    int64_t missing = 0;
    const int64_t frames = size / 4;
    for (int64_t f = 1; f < frames; ++f) {
        const uint32_t step = FrameNumber(recording, f) - FrameNumber(recording, f - 1);
        if (step == 1) continue;
        EXPECT_EQ(f % kBlockFrames, 0) << "a gap inside a block at frame " << f;
        EXPECT_EQ((step - 1) % kBlockFrames, 0u) << "a gap of part of a block at frame " << f;
        missing += (step - 1) / kBlockFrames;
        if (::testing::Test::HasFailure()) break;
    }
    return missing;
}

TEST(RecorderThreads, BlocksFromTheAudioThread_InOrderWhileTheWindowStartsWatchesAndStops) {
    FakeCaptureDevice input;
    Recorder recorder([&] { return input.Share(); });
    Deliverer deliverer(input);
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        recorder.StartCapture();
        int64_t seen = 0;
        const auto end = std::chrono::steady_clock::now() + 150ms;
        while (std::chrono::steady_clock::now() < end) {
            const int64_t size = recorder.RecordedSize();
            EXPECT_EQ(size % kBlockBytes, 0);
            EXPECT_GE(size, seen) << "the size went back";
            seen = size;
            std::this_thread::sleep_for(2ms);
        }
        recorder.StopCapture();
        const Recorder::Recording taken = recorder.TakeRecording();
        EXPECT_GE(taken.size, seen);
        EXPECT_GT(taken.size, 0) << "150 ms of delivery recorded nothing";
        EXPECT_EQ(taken.size % kBlockBytes, 0);
        EXPECT_LE(CheckOrder(taken.block, taken.size), recorder.DroppedBlocks());
        std::free(taken.block);
    }
}

}  // namespace
}  // namespace sonvira
