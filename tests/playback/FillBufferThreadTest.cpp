// The renderer on a stream thread while the window thread writes the shared state:
// run under ThreadSanitizer too (a separate build of test.sh).

#include <gtest/gtest.h>

#include "FillBuffer.h"
#include "TestDocument.h"

#include <atomic>
#include <cmath>
#include <random>
#include <thread>
#include <vector>

namespace sonvira {
namespace {

constexpr int kBlockFrames = 2048;

// Renders blocks on its own thread until stopped, counting finished blocks.
class StreamThread {
public:
    StreamThread(PlaybackState& state, const AudioDocument& doc) : thread_([this, &state, &doc] {
        std::vector<int16_t> out(2 * kBlockFrames);
        while (!stop_) {
            FillBuffer(state, doc, out.data(), kOutputBlockBytes);
            ++blocks_;
        }
    }) {}
    ~StreamThread() {
        stop_ = true;
        thread_.join();
    }
    int Blocks() const { return blocks_; }
    void WaitForBlocks(int count) const {
        while (blocks_ < count) std::this_thread::yield();
    }

private:
    std::atomic<bool> stop_{false};
    std::atomic<int> blocks_{0};
    std::thread thread_;
};

// The play loop ends when it sees the position at or past the range end; with looping
// on it must never see that, whatever the window writes meanwhile.
TEST(FillBufferThreads, WindowWritesWhileBlocksRender_PositionStaysInsideTheLoop) {
    AudioDocument doc;
    test::Load(doc, test::RandomDocument(30000, 44100, true, true, 9));
    PlaybackState state;
    state.RangeStart = 500;
    state.RangeEnd = 20000;
    state.PlayPosition = 500;
    state.Loop = true;

    std::mt19937 rng(4);
    std::uniform_real_distribution<double> speed(-1.0, 12.0), pitch(-1.0, 150.0),
        jump(0.0, 19999.0);
    {
        StreamThread stream(state, doc);
        while (stream.Blocks() < 150) {
            switch (rng() % 4) {
                case 0: state.SpeedFactor = speed(rng); break;
                case 1: state.PitchFactor = pitch(rng); break;
                case 2: state.Paused = !state.Paused; break;
                default: state.PlayPosition = jump(rng); break;
            }
            const double position = state.PlayPosition;
            ASSERT_GE(position, 0.0);
            ASSERT_LT(position, 20000.0) << "the play loop would have stopped";
            const int32_t readIndex = state.ReadIndex;
            ASSERT_GE(readIndex, 0);
            ASSERT_LT(readIndex, 2 * 20000 + 2 * kBlockFrames * 10);
        }
    }
    EXPECT_EQ(state.FrameCount, 30000);
}

// A rewind or click written while a block renders is not overwritten by that block:
// the next blocks run on from the written position (speed 1: whole frames per step).
TEST(FillBufferThreads, PositionWrittenDuringARenderIsKept) {
    AudioDocument doc;
    test::Load(doc, test::RandomDocument(400000, 44100, false, true, 10));
    PlaybackState state;
    state.RangeEnd = 400000;
    StreamThread stream(state, doc);
    for (int jump = 0; jump < 40; ++jump) {
        // Each jump has its own fraction, kept by the whole steps that follow.
        const double target = 1000.0 + 7919.0 * jump + (jump % 7 + 1) / 8.0;
        state.PlayPosition = target;
        stream.WaitForBlocks(stream.Blocks() + 2);
        state.Paused = true;  // hold the position while it is checked
        stream.WaitForBlocks(stream.Blocks() + 2);
        const double position = state.PlayPosition;
        state.Paused = false;
        const double moved = position - target;
        EXPECT_GT(moved, 0.0) << "jump " << jump;
        EXPECT_EQ(std::fmod(moved, 1.0), 0.0) << "jump " << jump << ": the write was lost";
    }
}

}  // namespace
}  // namespace sonvira
