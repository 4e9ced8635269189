#include "TDynaArray.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace sonvira {
namespace {

struct Rec {
    int32_t value;
    int32_t other;
};
constexpr int32_t kSize = sizeof(Rec);

void AppendValues(TDynaArray& array, Rec*& cursor, int32_t from, int32_t to) {
    for (int32_t v = from; v < to; ++v) {
        ASSERT_NE(array.Append(), nullptr);
        cursor->value = v;
        cursor->other = -v;
    }
}

std::vector<int32_t> Values(TDynaArray& array) {
    std::vector<int32_t> out;
    for (uint32_t i = 0; i < array.Count(); ++i)
        out.push_back(static_cast<Rec*>(array.Get(static_cast<int32_t>(i)))->value);
    return out;
}

TEST(TDynaArray, BlockGrowsInStepsOfHundredAndKeepsEarlierElements) {
    struct Case {
        int32_t count;
        uint32_t capacity;
    };
    for (const Case c : {Case{1, 100}, Case{100, 100}, Case{101, 200}, Case{200, 200}, Case{201, 300}}) {
        Rec* cursor = nullptr;
        TDynaArray array(kSize, &cursor);
        AppendValues(array, cursor, 0, c.count);
        EXPECT_EQ(array.AllocatedBytes(), c.capacity * kSize) << c.count;
        EXPECT_EQ(cursor, array.Current());
        for (int32_t i = 0; i < c.count; ++i) {
            const Rec* r = static_cast<Rec*>(array.Get(i));
            ASSERT_EQ(r->value, i);
            ASSERT_EQ(r->other, -i);
        }
    }
}

TEST(TDynaArray, DeleteShrinksAndReleasesTheLastBlock) {
    Rec* cursor = nullptr;
    TDynaArray array(kSize, &cursor);
    AppendValues(array, cursor, 0, 101);
    array.Delete(100);
    EXPECT_EQ(array.Count(), 100u);
    EXPECT_EQ(array.AllocatedBytes(), 100u * kSize);
    EXPECT_EQ(Values(array).back(), 99);

    array.Clear();
    AppendValues(array, cursor, 7, 8);
    array.Delete(0);
    EXPECT_EQ(array.AllocatedBytes(), 0u);
    EXPECT_EQ(array.Data(), nullptr);
    // A fresh block is zero-filled, so the new element reads as zero.
    const Rec* fresh = static_cast<Rec*>(array.Append());
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->value, 0);
    EXPECT_EQ(fresh->other, 0);
}

TEST(TDynaArray, DeleteMovesTheTailDownAndClearsTheCursor) {
    Rec* cursor = nullptr;
    TDynaArray array(kSize, &cursor);
    AppendValues(array, cursor, 0, 5);
    array.Delete(1);
    EXPECT_EQ(Values(array), (std::vector<int32_t>{0, 2, 3, 4}));
    array.Delete(2);
    EXPECT_EQ(cursor, nullptr);  // elements remain, yet nothing is current
    EXPECT_EQ(array.Current(), nullptr);
    EXPECT_EQ(array.Index(), -1);
    EXPECT_FALSE(array.Next());
    for (int32_t bad : {-1, 3, 100}) {
        array.Delete(bad);
        EXPECT_EQ(Values(array), (std::vector<int32_t>{0, 2, 4})) << bad;
    }
}

TEST(TDynaArray, InsertPlacesAZeroedElementOrRefusesOutsideTheRange) {
    Rec* cursor = nullptr;
    TDynaArray array(kSize, &cursor);
    AppendValues(array, cursor, 1, 5);
    array.Delete(3);  // 1 2 3; the 4 stays behind in the block, so a missing clear shows

    Rec* atEnd = static_cast<Rec*>(array.Insert(3));
    ASSERT_NE(atEnd, nullptr);
    EXPECT_EQ(atEnd->value, 0);
    EXPECT_EQ(cursor, atEnd);
    EXPECT_EQ(array.Index(), 3);

    Rec* middle = static_cast<Rec*>(array.Insert(1));
    ASSERT_NE(middle, nullptr);
    EXPECT_EQ(middle->value, 0);
    EXPECT_EQ(Values(array), (std::vector<int32_t>{1, 0, 2, 3, 0}));

    for (int32_t bad : {-1, 6, 1000}) {
        cursor = nullptr;
        EXPECT_EQ(array.Insert(bad), nullptr) << bad;
        EXPECT_EQ(cursor, nullptr);
        EXPECT_EQ(array.Count(), 5u);
    }
}

TEST(TDynaArray, EmptyArrayIgnoresDeleteSwapFirstAndNext) {
    Rec sentinel {};
    Rec* cursor = &sentinel;
    TDynaArray array(kSize, &cursor);
    array.Delete(0);
    array.Swap(0, 0);
    array.First();
    EXPECT_FALSE(array.Next());
    EXPECT_EQ(cursor, &sentinel);  // construction and the refused calls leave it alone
    EXPECT_EQ(array.Count(), 0u);
    EXPECT_EQ(array.AllocatedBytes(), 0u);
}

TEST(TDynaArray, FirstNextDeliversEveryElementThenStopsOnTheLast) {
    Rec* cursor = nullptr;
    TDynaArray array(kSize, &cursor);
    AppendValues(array, cursor, 10, 13);
    array.First();
    std::vector<bool> results;
    std::vector<int32_t> seen;
    for (int k = 0; k < 4; ++k) {
        results.push_back(array.Next());
        seen.push_back(cursor->value);
    }
    EXPECT_EQ(results, (std::vector<bool>{true, true, true, false}));
    EXPECT_EQ(seen, (std::vector<int32_t>{10, 11, 12, 12}));
}

TEST(TDynaArray, NextContinuesFromWhereGetOrSwapPositioned) {
    Rec* cursor = nullptr;
    TDynaArray array(kSize, &cursor);
    AppendValues(array, cursor, 0, 4);
    array.Get(2);
    ASSERT_TRUE(array.Next());
    EXPECT_EQ(cursor->value, 2);
    array.Swap(3, 0);
    EXPECT_EQ(Values(array), (std::vector<int32_t>{3, 1, 2, 0}));
    array.Swap(3, 0);
    EXPECT_EQ(array.Index(), 0);
    ASSERT_TRUE(array.Next());
    EXPECT_EQ(cursor->value, 0);
    array.Swap(0, 4);  // out of range: nothing moves
    EXPECT_EQ(Values(array), (std::vector<int32_t>{0, 1, 2, 3}));
}

TEST(TDynaArray, SharedCursorFollowsTheArrayThatMovedLast) {
    Rec* cursor = nullptr;
    TDynaArray first(kSize, &cursor);
    TDynaArray second(kSize, &cursor);
    AppendValues(second, cursor, 5, 6);
    AppendValues(first, cursor, 1, 2);
    second.First();
    EXPECT_EQ(cursor, second.Current());
    EXPECT_EQ(cursor->value, 5);
    first.Clear();
    EXPECT_EQ(cursor, nullptr);
}

std::vector<std::string>* g_messages = nullptr;
int g_failuresLeft = 0;

void* FailingAllocator(std::size_t bytes) {
    if (g_failuresLeft > 0) {
        --g_failuresLeft;
        return nullptr;
    }
    return std::calloc(1, bytes);
}

class TDynaArrayAllocFailure : public ::testing::Test {
protected:
    void SetUp() override {
        g_messages = &messages_;
        oldHandler_ = SetAllocFailureHandler([](const std::string& m) { g_messages->push_back(m); });
        oldAllocator_ = SetBlockAllocator(&FailingAllocator);
    }
    void TearDown() override {
        SetBlockAllocator(oldAllocator_);
        SetAllocFailureHandler(oldHandler_);
        g_failuresLeft = 0;
    }
    std::vector<std::string> messages_;
    AllocFailureHandler oldHandler_;
    BlockAllocator oldAllocator_ = nullptr;
};

TEST_F(TDynaArrayAllocFailure, FailedGrowthReportsAndAbandonsTheOperation) {
    Rec* cursor = nullptr;
    TDynaArray array(kSize, &cursor);
    AppendValues(array, cursor, 0, 100);
    g_failuresLeft = 1;
    EXPECT_EQ(array.Append(), nullptr);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0], "Error while trying to allocate 1600 bytes of RAM. Not enough memory.");
    EXPECT_EQ(array.Count(), 100u);
    EXPECT_EQ(array.AllocatedBytes(), 800u);
    g_failuresLeft = 1;
    EXPECT_EQ(array.Insert(0), nullptr);
    EXPECT_EQ(Values(array).front(), 0);
    EXPECT_EQ(array.Count(), 100u);
    // Once memory is there again, the array goes on normally.
    AppendValues(array, cursor, 100, 101);
    EXPECT_EQ(array.AllocatedBytes(), 1600u);
}

TEST_F(TDynaArrayAllocFailure, ShrinkTriesTwiceAndKeepsTheLargerBlockOnFailure) {
    Rec* cursor = nullptr;
    TDynaArray array(kSize, &cursor);
    AppendValues(array, cursor, 0, 201);
    g_failuresLeft = 1;  // the second attempt succeeds
    array.Delete(200);
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(array.AllocatedBytes(), 200u * kSize);

    AppendValues(array, cursor, 200, 201);
    g_failuresLeft = 2;
    array.Delete(0);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(array.AllocatedBytes(), 300u * kSize);
    EXPECT_EQ(array.Count(), 200u);
    // Growing from the oversized block copies only what fits the new one.
    array.Delete(0);
    EXPECT_EQ(array.AllocatedBytes(), 200u * kSize);
    EXPECT_EQ(Values(array).front(), 2);
    EXPECT_EQ(Values(array).back(), 200);
}

TEST_F(TDynaArrayAllocFailure, SizeBeyondThirtyTwoBitsIsAFailureNotAWrap) {
    Rec* cursor = nullptr;
    TDynaArray array(1 << 26, &cursor);  // 100 elements need 6.7 GB
    EXPECT_EQ(array.Append(), nullptr);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0], "Error while trying to allocate 6710886400 bytes of RAM. Not enough memory.");
    EXPECT_EQ(array.Count(), 0u);
}

}  // namespace
}  // namespace sonvira
