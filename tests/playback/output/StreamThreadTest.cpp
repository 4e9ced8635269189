// The stream thread against a device clock running on another thread, as the sound
// card's callback does: every block must be heard once, whole and in order. Run
// under ThreadSanitizer too.

#include <gtest/gtest.h>

#include "BlockLevelDocument.h"
#include "FakeOutputDevice.h"
#include "PlaybackStream.h"

#include <chrono>
#include <thread>
#include <vector>

namespace sonvira {
namespace {

constexpr int32_t kChunkFrames = 256;
constexpr int kLaps = 8;
constexpr int32_t kPlayedFrames = kLaps * DeviceBuffer::kFrames;

// Plays the fake device's ring in 256-frame chunks at half the real rate (11.6 ms a
// chunk), leaving the stream thread a generous but real deadline for each refill,
// also under the sanitizers.
std::vector<int16_t> PlayAtHalfSpeed(FakeOutputDevice& device) {
    std::vector<int16_t> heard(2 * static_cast<size_t>(kPlayedFrames));
    std::thread clock([&] {
        auto next = std::chrono::steady_clock::now();
        for (int32_t f = 0; f < kPlayedFrames; f += kChunkFrames) {
            next += 2 * std::chrono::microseconds(kChunkFrames * 1000000 / 44100);
            std::this_thread::sleep_until(next);
            device.Consume(heard.data() + 2 * f, kChunkFrames);
        }
    });
    clock.join();
    return heard;
}

TEST(StreamThread, DeviceClockOnAnotherThread_EveryBlockHeardOnceInOrder) {
    AudioDocument doc;
    test::LoadBlockLevels(doc, 40);
    PlaybackState state;
    state.RangeEnd = doc.FrameCount();
    state.Loop = false;
    FakeOutputDevice device;
    BlockRenderer renderer;

    auto thread = PrimeAndStart(device, state, doc, renderer);
    const std::vector<int16_t> heard = PlayAtHalfSpeed(device);
    StopAndJoin(device, thread);

    // One ring of silence, then the blocks 0, 1, 2, … each whole.
    const int32_t blocks = kPlayedFrames / test::kBlockFrames;
    for (int32_t b = 0; b < blocks; ++b) {
        const int expected = b < 2 ? 0 : b - 1;
        EXPECT_EQ(test::SteadyLevel(heard.data() + 2 * b * test::kBlockFrames, test::kBlockFrames),
                  expected)
            << "block heard at frame " << b * test::kBlockFrames;
    }
}

}  // namespace
}  // namespace sonvira
