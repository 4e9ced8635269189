// The recorder with a fake input: whole blocks in order, the partly filled last block
// left out, an input that cannot be opened, the size limit, and a new recording
// forgetting the last one.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "FakeCaptureDevice.h"
#include "NumberedFrames.h"
#include "Recorder.h"

namespace sonvira {
namespace {

using test::FrameNumber;
using test::NumberedFrames;

constexpr int32_t kBlockBytes = Recorder::kBlockBytes;
constexpr int32_t kBlockFrames = CaptureRing::kBlockFrames;

// Owns what TakeRecording hands over.
struct Taken {
    explicit Taken(Recorder::Recording r) : block(r.block), size(r.size) {}
    ~Taken() { std::free(block); }
    Taken(const Taken&) = delete;
    Taken& operator=(const Taken&) = delete;
    uint8_t* block;
    int32_t size;
};

struct RecorderWithFakeInput : ::testing::Test {
    explicit RecorderWithFakeInput(int64_t maxBytes = Recorder::kMaxBytes)
        : recorder([this] { return input.Share(); }, maxBytes) {}

    // Hands frames first .. first + count - 1 to the input in pieces of 1000 frames,
    // as callbacks that do not line up with the blocks.
    void Deliver(uint32_t first, int32_t count) {
        const std::vector<int16_t> frames = NumberedFrames(first, count);
        for (int32_t at = 0; at < count; at += 1000) {
            input.Deliver(frames.data() + 2 * at, std::min(1000, count - at));
        }
    }

    // The recording holds the frames first, first + 1, ... in order.
    static void ExpectFramesFrom(const Taken& taken, uint32_t first) {
        for (int64_t f = 0; f < taken.size / 4; ++f) {
            ASSERT_EQ(FrameNumber(taken.block, f), first + uint32_t(f)) << "frame " << f;
        }
    }

    FakeCaptureDevice input;
    Recorder recorder;
};

TEST_F(RecorderWithFakeInput, BlocksDeliveredInOddPieces_ExactlyTheWholeBlocksInOrder) {
    recorder.StartCapture();
    EXPECT_TRUE(recorder.Capturing());
    EXPECT_TRUE(recorder.DeviceOpen());
    EXPECT_TRUE(input.Running());
    Deliver(0, 10 * kBlockFrames + 2000);  // ten blocks and part of an eleventh
    recorder.StopCapture();
    EXPECT_FALSE(recorder.Capturing());
    EXPECT_FALSE(input.Running());
    EXPECT_EQ(input.Stops(), 1);
    EXPECT_EQ(recorder.RecordedSize(), 10 * kBlockBytes);
    Taken taken(recorder.TakeRecording());
    ASSERT_EQ(taken.size, 10 * kBlockBytes);
    ExpectFramesFrom(taken, 0);
    EXPECT_EQ(recorder.RecordedSize(), 0) << "the recorder forgets what it handed over";
}

TEST_F(RecorderWithFakeInput, StopBeforeTheFirstWholeBlock_NothingRecorded) {
    recorder.StartCapture();
    Deliver(0, kBlockFrames - 1);
    recorder.StopCapture();
    EXPECT_EQ(recorder.RecordedSize(), 0);
    Taken taken(recorder.TakeRecording());
    EXPECT_EQ(taken.block, nullptr);
    EXPECT_EQ(taken.size, 0);
}

TEST_F(RecorderWithFakeInput, FramesAfterTheStopAreNotRecorded) {
    recorder.StartCapture();
    Deliver(0, 2 * kBlockFrames);
    recorder.StopCapture();
    Deliver(2 * kBlockFrames, 3 * kBlockFrames);
    EXPECT_EQ(recorder.RecordedSize(), 2 * kBlockBytes);
}

// Whether the factory finds no input at all or the input refuses to start: the worker
// runs anyway, nothing is recorded, one line goes to stderr, and the run can be stopped.
TEST(Recorder, InputThatCannotBeOpened_RecordsNothingAndStops) {
    FakeCaptureDevice input;
    input.FailStart(true);
    const std::function<std::unique_ptr<CaptureDevice>()> factories[] = {
        [] { return std::unique_ptr<CaptureDevice>(); },
        [&] { return input.Share(); },
    };
    for (const auto& factory : factories) {
        Recorder recorder(factory);
        ::testing::internal::CaptureStderr();
        recorder.StartCapture();
        const std::string logged = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(logged, "sonvira: no sound input could be opened; nothing is recorded\n");
        EXPECT_FALSE(recorder.DeviceOpen());
        EXPECT_TRUE(recorder.Capturing());
        const std::vector<int16_t> frames = NumberedFrames(0, 2 * kBlockFrames);
        input.Deliver(frames.data(), 2 * kBlockFrames);
        recorder.StopCapture();
        EXPECT_FALSE(recorder.Capturing());
        EXPECT_EQ(recorder.RecordedSize(), 0);
        EXPECT_EQ(Taken(recorder.TakeRecording()).block, nullptr);
    }
    EXPECT_EQ(input.Starts(), 0);
}

// A limit of three blocks, and one a little above that: the three blocks stay, the
// fourth and later are dropped and the limit is reported.
TEST(Recorder, Limit_KeepsTheWholeBlocksThatFitAndDropsTheRest) {
    for (const int64_t limit : {int64_t{3} * kBlockBytes, int64_t{4} * kBlockBytes - 1}) {
        SCOPED_TRACE(limit);
        FakeCaptureDevice input;
        Recorder recorder([&] { return input.Share(); }, limit);
        recorder.StartCapture();
        const std::vector<int16_t> frames = NumberedFrames(0, 6 * kBlockFrames);
        input.Deliver(frames.data(), 6 * kBlockFrames);
        recorder.StopCapture();
        EXPECT_TRUE(recorder.LimitReached());
        Taken taken(recorder.TakeRecording());
        ASSERT_EQ(taken.size, 3 * kBlockBytes);
        RecorderWithFakeInput::ExpectFramesFrom(taken, 0);
    }
}

// A new recording forgets the last one, taken over or not, and its limit flag.
TEST(Recorder, NewRecordingForgetsTheLastOne) {
    for (const bool takenOver : {false, true}) {
        SCOPED_TRACE(takenOver);
        FakeCaptureDevice input;
        Recorder recorder([&] { return input.Share(); }, 2 * kBlockBytes);
        recorder.StartCapture();
        std::vector<int16_t> frames = NumberedFrames(0, 3 * kBlockFrames);
        input.Deliver(frames.data(), 3 * kBlockFrames);
        recorder.StopCapture();
        ASSERT_TRUE(recorder.LimitReached());
        if (takenOver) std::free(recorder.TakeRecording().block);

        recorder.StartCapture();
        EXPECT_EQ(recorder.RecordedSize(), 0);
        EXPECT_FALSE(recorder.LimitReached());
        frames = NumberedFrames(500000, kBlockFrames + 10);
        input.Deliver(frames.data(), kBlockFrames + 10);
        recorder.StopCapture();
        Taken taken(recorder.TakeRecording());
        ASSERT_EQ(taken.size, kBlockBytes);
        RecorderWithFakeInput::ExpectFramesFrom(taken, 500000);
        EXPECT_EQ(input.Starts(), 2);
    }
}

TEST(Recorder, StopWhenNotCapturing_AndDestructionWhileCapturing_AreSafe) {
    FakeCaptureDevice input;
    {
        Recorder recorder([&] { return input.Share(); });
        recorder.StopCapture();
        EXPECT_EQ(input.Starts(), 0);
        recorder.StartCapture();
        EXPECT_TRUE(input.Running());
    }
    EXPECT_FALSE(input.Running()) << "the recorder stops its input when it goes away";
}

TEST(Recorder, TakeRecordingWhileCapturing_GivesNothing) {
    FakeCaptureDevice input;
    Recorder recorder([&] { return input.Share(); });
    recorder.StartCapture();
    const std::vector<int16_t> frames = NumberedFrames(0, kBlockFrames);
    input.Deliver(frames.data(), kBlockFrames);
    EXPECT_EQ(Taken(recorder.TakeRecording()).block, nullptr);
    recorder.StopCapture();
    EXPECT_EQ(Taken(recorder.TakeRecording()).size, kBlockBytes);
}

}  // namespace
}  // namespace sonvira
