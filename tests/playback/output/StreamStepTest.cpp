// The device ring and the stream step with a fake device whose cursor the test sets.

#include <gtest/gtest.h>

#include "BlockLevelDocument.h"
#include "FakeOutputDevice.h"
#include "FillBuffer.h"
#include "PlaybackStream.h"
#include "TMyThread.h"

#include <vector>

namespace sonvira {
namespace {

using test::HalfLevel;

// Fills the ring with frames numbered 1 … 4096 (left = number, right = -number).
void NumberFrames(OutputDevice& device) {
    std::vector<int16_t> all(2 * DeviceBuffer::kFrames);
    for (int i = 0; i < DeviceBuffer::kFrames; ++i) {
        all[2 * i] = static_cast<int16_t>(i + 1);
        all[2 * i + 1] = static_cast<int16_t>(-(i + 1));
    }
    device.Lock().Write(0, all.data(), DeviceBuffer::kBytes);
    device.Unlock();
}

TEST(DeviceRing, PlaysFromTheCursorAndWrapsAtTheEnd) {
    FakeOutputDevice device;
    NumberFrames(device);
    device.Play();
    device.SetCursor(DeviceBuffer::kBytes - 8);  // two frames before the end
    std::vector<int16_t> out(8);
    device.Consume(out.data(), 4);
    EXPECT_EQ(out, (std::vector<int16_t>{4095, -4095, 4096, -4096, 1, -1, 2, -2}));
    EXPECT_EQ(device.GetCurrentPosition(), 8);
}

TEST(DeviceRing, StoppedPlaysSilenceAndKeepsTheCursor_PlayRestartsAtZero) {
    FakeOutputDevice device;
    NumberFrames(device);
    device.Play();
    device.SetCursor(400);
    device.Stop();
    std::vector<int16_t> out(2 * 256, 7);
    device.Consume(out.data(), 256);
    EXPECT_EQ(out, std::vector<int16_t>(2 * 256, 0));
    EXPECT_EQ(device.GetCurrentPosition(), 400);

    device.Play();
    EXPECT_EQ(device.GetCurrentPosition(), 0);
    device.Consume(out.data(), 1);
    EXPECT_EQ(out[0], 1);
}

TEST(DeviceRing, FullSamplesRangeSurvivesTheRing) {
    FakeOutputDevice device;
    const std::vector<int16_t> extremes{-32768, 32767, 0, -1};
    device.Lock().Write(DeviceBuffer::kHalfBytes, extremes.data(), 8);
    device.Unlock();
    std::vector<int16_t> back(4);
    device.Buffer().Read(DeviceBuffer::kHalfBytes, back.data(), 8);
    EXPECT_EQ(back, extremes);
}

class StreamStep : public ::testing::Test {
protected:
    void SetUp() override {
        test::LoadBlockLevels(doc, 12);
        state.RangeEnd = doc.FrameCount();
        state.Loop = false;
    }
    AudioDocument doc;
    PlaybackState state;
    FakeOutputDevice device;
    BlockRenderer renderer;
};

// The ring after each cursor position: block k shows as level k + 1, silence as 0.
struct CursorStep {
    int32_t cursor;
    int firstHalf;
    int secondHalf;
    bool secondHalfPending;
    int locks;
};

TEST_F(StreamStep, RefillsThePlayedHalfOncePerLap_SecondHalfOnlyInTheFirstQuarter) {
    TMyThread thread(device, state, doc, renderer);
    FillBuffer(state, doc, thread.StagingBuffer(), kOutputBlockBytes);  // primed block 0
    device.Play();
    const CursorStep steps[] = {
        {0, 0, 0, false, 0},
        {8192, 0, 0, false, 0},      // exactly half way is not past it
        {8196, 1, 0, true, 1},       // first half played: primed block 0 goes in
        {12000, 1, 0, true, 1},      // once per lap
        {16380, 1, 0, true, 1},
        {6000, 1, 0, true, 1},       // first half, but not yet the first quarter
        {4096, 1, 0, true, 1},
        {4092, 1, 2, false, 2},      // second half played: block 1 goes in
        {0, 1, 2, false, 2},
        {9000, 3, 2, true, 3},
        {100, 3, 4, false, 4},
        {16000, 5, 4, true, 5},
        {2000, 5, 6, false, 6},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.cursor);
        device.SetCursor(step.cursor);
        thread.BufferSpielen();
        EXPECT_EQ(HalfLevel(device.Buffer(), 0), step.firstHalf);
        EXPECT_EQ(HalfLevel(device.Buffer(), 1), step.secondHalf);
        EXPECT_EQ(thread.SecondHalfPending(), step.secondHalfPending);
        EXPECT_EQ(device.LockCount(), step.locks);
    }
}

TEST_F(StreamStep, PrimeAndStartSilencesTheRingPrimesOneBlockAndPlaysFromTheStart) {
    NumberFrames(device);  // left over from an earlier playback
    device.SetCursor(5000);
    auto thread = PrimeAndStart(device, state, doc, renderer);

    EXPECT_TRUE(device.IsPlaying());
    EXPECT_EQ(device.GetCurrentPosition(), 0);
    EXPECT_EQ(HalfLevel(device.Buffer(), 0), 0);
    EXPECT_EQ(HalfLevel(device.Buffer(), 1), 0);
    EXPECT_EQ(test::SteadyLevel(thread->StagingBuffer(), test::kBlockFrames), 1);
    EXPECT_EQ(state.PlayPosition.load(), 2048.0);  // exactly one block rendered

    StopAndJoin(device, thread);
    EXPECT_FALSE(device.IsPlaying());
    EXPECT_EQ(thread, nullptr);
    StopAndJoin(device, thread);  // a second stop is harmless
}

}  // namespace
}  // namespace sonvira
