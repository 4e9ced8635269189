// The capture ring: whole blocks assembled across writes of any size, published in
// order, a full ring dropping and counting blocks, the worker's wait, and Reset.

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "CaptureRing.h"
#include "NumberedFrames.h"

namespace sonvira {
namespace {

using namespace std::chrono_literals;
using test::FrameNumber;
using test::NumberedFrames;

constexpr int32_t kBlockFrames = CaptureRing::kBlockFrames;

// Writes frames first .. first + count - 1 in pieces of `piece` frames.
void WriteNumbered(CaptureRing& ring, uint32_t first, int32_t count, int32_t piece) {
    const std::vector<int16_t> frames = NumberedFrames(first, count);
    for (int32_t at = 0; at < count; at += piece) {
        ring.Write(frames.data() + 2 * at, std::min(piece, count - at));
    }
}

// Pops every waiting block and returns the number of each block's first frame,
// checking that the frames inside a block follow on one another.
std::vector<uint32_t> PopAll(CaptureRing& ring) {
    std::vector<uint32_t> firsts;
    while (ring.Available() > 0) {
        const uint8_t* block = ring.Front();
        const uint32_t first = FrameNumber(block, 0);
        for (int32_t f = 1; f < kBlockFrames; ++f) {
            EXPECT_EQ(FrameNumber(block, f), first + uint32_t(f))
                << "inside block " << firsts.size();
        }
        firsts.push_back(first);
        ring.Pop();
    }
    return firsts;
}

// Pieces that straddle block boundaries in every way: one frame at a time, odd sizes,
// exactly one block, more than one block per write.
TEST(CaptureRing, BlocksAssembledAcrossWritesOfAnySize) {
    for (const int32_t piece : {1, 441, 1000, 4095, kBlockFrames, 4097, 3 * kBlockFrames + 7}) {
        SCOPED_TRACE(piece);
        CaptureRing ring;
        WriteNumbered(ring, 0, 5 * kBlockFrames + 100, piece);
        EXPECT_EQ(ring.Available(), 5);
        EXPECT_EQ(PopAll(ring), (std::vector<uint32_t>{0, 4096, 8192, 12288, 16384}));
        // The 100 frames of the sixth block wait for the rest of it.
        WriteNumbered(ring, 5 * kBlockFrames + 100, kBlockFrames - 100, piece);
        EXPECT_EQ(PopAll(ring), (std::vector<uint32_t>{20480}));
        EXPECT_EQ(ring.Dropped(), 0);
    }
}

TEST(CaptureRing, FullRingDropsAndCountsWholeBlocks_LaterBlocksFollowOnceRoomIsMade) {
    CaptureRing ring;
    constexpr int32_t kCapacity = CaptureRing::kCapacityBlocks;
    WriteNumbered(ring, 0, (kCapacity + 2) * kBlockFrames, 1000);
    EXPECT_EQ(ring.Available(), kCapacity);
    EXPECT_EQ(ring.Dropped(), 2);
    ring.Pop();  // block 0 leaves, block kCapacity + 2 finds room
    WriteNumbered(ring, uint32_t(kCapacity + 2) * kBlockFrames, kBlockFrames, 333);
    EXPECT_EQ(ring.Dropped(), 2);
    std::vector<uint32_t> expected;
    for (int32_t b = 1; b < kCapacity; ++b) expected.push_back(uint32_t(b * kBlockFrames));
    expected.push_back(uint32_t((kCapacity + 2) * kBlockFrames));
    EXPECT_EQ(PopAll(ring), expected);
}

TEST(CaptureRing, WaitForBlock_TimesOutWhenEmpty_ReturnsAtOnceWhenABlockWaits) {
    CaptureRing ring;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(ring.WaitForBlock(30ms));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 30ms);
    WriteNumbered(ring, 0, kBlockFrames - 1, 500);
    EXPECT_FALSE(ring.WaitForBlock(0ms)) << "a partly filled block is not published";
    WriteNumbered(ring, kBlockFrames - 1, 1, 1);
    EXPECT_TRUE(ring.WaitForBlock(0ms));
    EXPECT_TRUE(ring.WaitForBlock(10s)) << "the block still waits until it is popped";
    ring.Pop();
    EXPECT_FALSE(ring.WaitForBlock(10ms));
}

TEST(CaptureRing, Reset_ForgetsBlocksThePartlyFilledOneAndTheDropCount) {
    CaptureRing ring;
    WriteNumbered(ring, 0, (CaptureRing::kCapacityBlocks + 1) * kBlockFrames + 10, 700);
    ASSERT_EQ(ring.Dropped(), 1);
    ring.Reset();
    EXPECT_EQ(ring.Available(), 0);
    EXPECT_EQ(ring.Dropped(), 0);
    EXPECT_FALSE(ring.WaitForBlock(10ms));
    // The next block starts with the first frame written after the reset.
    WriteNumbered(ring, 1000000, kBlockFrames, 4000);
    EXPECT_EQ(PopAll(ring), (std::vector<uint32_t>{1000000}));
}

}  // namespace
}  // namespace sonvira
