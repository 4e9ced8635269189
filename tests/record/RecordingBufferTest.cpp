// The growing recording: appended bytes kept exactly across many growths, the take-over
// of an exactly sized block, and what a failing allocation leaves.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "RecordingBuffer.h"

namespace sonvira {
namespace {

constexpr int32_t kBlock = 16384;

std::vector<uint8_t> PatternBlock(int index) {
    std::vector<uint8_t> block(kBlock);
    for (int32_t i = 0; i < kBlock; ++i) block[size_t(i)] = uint8_t((index * 7 + i) & 0xFF);
    return block;
}

void ExpectPatternBlocks(const uint8_t* data, int64_t size, int blocks) {
    ASSERT_EQ(size, int64_t{blocks} * kBlock);
    for (int b = 0; b < blocks; ++b) {
        ASSERT_EQ(std::memcmp(data + int64_t{b} * kBlock, PatternBlock(b).data(), kBlock), 0)
            << "block " << b;
    }
}

// 300 blocks (4.9 MB) grow the first 1 MiB allocation several times over.
TEST(RecordingBuffer, ManyBlocksKeptInOrder_TakeHandsOverExactBlockAndEmpties) {
    RecordingBuffer buffer;
    for (int b = 0; b < 300; ++b) ASSERT_TRUE(buffer.Append(PatternBlock(b).data(), kBlock));
    EXPECT_EQ(buffer.Size(), 300 * kBlock);
    const RecordingBuffer::Block taken = buffer.Take();
    ExpectPatternBlocks(taken.data, taken.size, 300);
    std::free(taken.data);
    EXPECT_EQ(buffer.Size(), 0);
    EXPECT_EQ(buffer.Take().data, nullptr);
}

TEST(RecordingBuffer, ClearForgetsTheRecording_AppendingStartsAnew) {
    RecordingBuffer buffer;
    buffer.Append(PatternBlock(5).data(), kBlock);
    buffer.Clear();
    EXPECT_EQ(buffer.Size(), 0);
    buffer.Append(PatternBlock(0).data(), kBlock);
    const RecordingBuffer::Block taken = buffer.Take();
    ExpectPatternBlocks(taken.data, taken.size, 1);
    std::free(taken.data);
}

// A realloc that refuses anything above a ceiling, as a machine out of memory does.
size_t g_ceiling = 0;
void* ReallocBelowCeiling(void* block, size_t bytes) {
    return bytes > g_ceiling ? nullptr : std::realloc(block, bytes);
}

// Growth to a doubled capacity fails first; the exact size still fits for a while, then
// nothing fits: what was appended stays, the flag is up, and later appends are refused
// even if memory came back.
TEST(RecordingBuffer, AllocationFailure_KeepsWhatWasAppendedAndRefusesMore) {
    constexpr int kFirstAllocationBlocks = 64;  // the buffer's first 1 MiB
    g_ceiling = (kFirstAllocationBlocks + 3) * size_t{kBlock};
    RecordingBuffer buffer(ReallocBelowCeiling);
    int appended = 0;
    for (int b = 0; b < kFirstAllocationBlocks + 10; ++b) {
        if (!buffer.Append(PatternBlock(b).data(), kBlock)) break;
        ++appended;
    }
    EXPECT_EQ(appended, kFirstAllocationBlocks + 3);
    EXPECT_TRUE(buffer.GrowthFailed());
    g_ceiling = SIZE_MAX;
    EXPECT_FALSE(buffer.Append(PatternBlock(appended).data(), kBlock));
    const RecordingBuffer::Block taken = buffer.Take();
    ExpectPatternBlocks(taken.data, taken.size, appended);
    std::free(taken.data);
    buffer.Clear();
    EXPECT_FALSE(buffer.GrowthFailed());
    EXPECT_TRUE(buffer.Append(PatternBlock(0).data(), kBlock));
}

TEST(RecordingBuffer, FirstAllocationFails_NothingRecorded) {
    g_ceiling = 0;
    RecordingBuffer buffer(ReallocBelowCeiling);
    EXPECT_FALSE(buffer.Append(PatternBlock(0).data(), kBlock));
    EXPECT_TRUE(buffer.GrowthFailed());
    EXPECT_EQ(buffer.Size(), 0);
    EXPECT_EQ(buffer.Take().data, nullptr);
}

}  // namespace
}  // namespace sonvira
