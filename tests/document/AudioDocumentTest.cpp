#include <gtest/gtest.h>

#include "AudioDocument.h"

namespace sonvira {
namespace {

struct FormatCase {
    int32_t dataSize;
    bool stereo, is16;
    int32_t samples, frames;
};

TEST(AudioDocument, DerivedCountsDropRemainders) {
    const FormatCase cases[] = {
        {10, true, true, 5, 2},  // trailing odd bytes are no frame
        {10, false, true, 5, 5},
        {7, true, false, 7, 3},
        {3, false, false, 3, 3},
        {0, true, true, 0, 0},
    };
    for (const auto& c : cases) {
        AudioDocument doc;
        doc.DataSize = c.dataSize;
        doc.IsStereo = c.stereo;
        doc.Is16Bit = c.is16;
        EXPECT_EQ(doc.SampleCount(), c.samples) << c.dataSize;
        EXPECT_EQ(doc.FrameCount(), c.frames) << c.dataSize;
    }
}

struct RangeCase {
    int32_t anchor, end, dataSize;
    bool stereo;
    int32_t lo, hi;
};

TEST(AudioDocument, SelectionFrameRange) {
    const RangeCase cases[] = {
        {7, 3, 40, true, 1, 3},     // stereo halves both ends
        {3, 7, 40, true, 1, 3},     // order does not matter
        {5, 5, 40, true, 0, 10},    // nothing selected: whole sound
        {0, 0, 0, false, 0, 0},     // empty document
        {2, 500, 40, false, 2, 20}, // end limited to the frame count
        {-1, 4, 40, false, 4, 20},  // -1 compares as a huge unsigned value
    };
    for (const auto& c : cases) {
        AudioDocument doc;
        doc.DataSize = c.dataSize;
        doc.IsStereo = c.stereo;
        doc.Is16Bit = true;
        doc.SelAnchor = c.anchor;
        doc.SelEnd = c.end;
        const FrameRange r = doc.SelectionFrameRange();
        EXPECT_EQ(r.lo, c.lo) << c.anchor << "," << c.end;
        EXPECT_EQ(r.hi, c.hi) << c.anchor << "," << c.end;
    }
}

TEST(AudioDocument, InstallBlockResetsSelectionAndTakesFormat) {
    AudioDocument doc;
    doc.SelAnchor = 3;
    doc.SelEnd = 9;
    auto* block = static_cast<uint8_t*>(std::calloc(8, 1));
    doc.InstallBlock(block, 8, 22050, true, false);
    EXPECT_EQ(doc.SampleData, block);
    EXPECT_EQ(doc.DataSize, 8);
    EXPECT_EQ(doc.SampleRate.load(), 22050);
    EXPECT_TRUE(doc.IsStereo);
    EXPECT_FALSE(doc.Is16Bit);
    EXPECT_EQ(doc.SelAnchor, 0);
    EXPECT_EQ(doc.SelEnd, 0);
}

// Lent and taken back: the block travels, nothing is freed twice or lost (ASan would see it).
TEST(AudioDocument, MoveSoundToHandsOverBlockFormatAndSelection) {
    AudioDocument window;
    auto* block = static_cast<uint8_t*>(std::calloc(8, 1));
    window.InstallBlock(block, 8, 22050, true, false);
    window.SelAnchor = 2;
    window.SelEnd = 6;
    AudioDocument lent;
    lent.InstallBlock(static_cast<uint8_t*>(std::calloc(4, 1)), 4, 8000, false, true);
    window.MoveSoundTo(lent);
    EXPECT_EQ(lent.SampleData, block);
    EXPECT_EQ(lent.DataSize, 8);
    EXPECT_EQ(lent.SampleRate.load(), 22050);
    EXPECT_TRUE(lent.IsStereo);
    EXPECT_FALSE(lent.Is16Bit);
    EXPECT_EQ(lent.SelAnchor, 2);
    EXPECT_EQ(lent.SelEnd, 6);
    EXPECT_EQ(window.SampleData, nullptr);
    EXPECT_EQ(window.DataSize, 0);
    EXPECT_EQ(window.SelEnd, 6) << "the window keeps its selection meanwhile";

    lent.SelEnd = 4;
    lent.MoveSoundTo(window);
    EXPECT_EQ(window.SampleData, block);
    EXPECT_EQ(window.DataSize, 8);
    EXPECT_EQ(window.SelEnd, 4) << "what the work did to the selection comes back";
    EXPECT_EQ(lent.SampleData, nullptr);
}

}  // namespace
}  // namespace sonvira
