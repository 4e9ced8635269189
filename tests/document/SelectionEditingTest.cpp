#include <gtest/gtest.h>

#include "DocumentBuilder.h"
#include "SelectionEditing.h"

namespace sonvira {
namespace {

using test::Bytes;
using test::Counting;
using test::LoadBytes;

// The selected stretch is the byte range [from, to) of a block filled with 0, 1, 2, …
struct StretchCase {
    const char* name;
    int size;
    bool stereo, is16;
    int32_t anchor, end;
    int from, to;
};

const StretchCase kStretches[] = {
    {"mono 8-bit backwards drag", 200, false, false, 100, 40, 40, 100},
    {"stereo 16-bit halves positions", 20, true, true, 3, 8, 4, 16},
    {"stereo selection inside one frame", 20, true, true, 2, 3, 4, 4},
    {"trailing odd bytes stay", 10, true, true, 0, 2, 0, 4},
    {"first to last sample keeps the last", 50, false, false, 0, 49, 0, 49},
    {"stray -1 is limited to the end", 10, false, false, 5, -1, 5, 10},
};

TEST(SelectionEditing, CropKeepsTheStretch) {
    for (const auto& c : kStretches) {
        AudioDocument doc;
        LoadBytes(doc, Counting(c.size), c.stereo, c.is16, 22050);
        doc.SelAnchor = c.anchor;
        doc.SelEnd = c.end;
        EXPECT_EQ(CropToSelection(doc), EditResult::BlockReplaced) << c.name;
        const auto all = Counting(c.size);
        EXPECT_EQ(Bytes(doc), std::vector<uint8_t>(all.begin() + c.from, all.begin() + c.to)) << c.name;
        EXPECT_EQ(doc.SelAnchor, 0) << c.name;
        EXPECT_EQ(doc.SelEnd, 0) << c.name;
        EXPECT_EQ(doc.SampleRate, 22050) << c.name;
        EXPECT_EQ(doc.IsStereo, c.stereo) << c.name;
        EXPECT_EQ(doc.Is16Bit, c.is16) << c.name;
    }
}

TEST(SelectionEditing, CutRemovesTheStretch) {
    for (const auto& c : kStretches) {
        AudioDocument doc;
        LoadBytes(doc, Counting(c.size), c.stereo, c.is16);
        doc.SelAnchor = c.anchor;
        doc.SelEnd = c.end;
        EXPECT_EQ(CutSelection(doc), EditResult::BlockReplaced) << c.name;
        auto expected = Counting(c.size);
        expected.erase(expected.begin() + c.from, expected.begin() + c.to);
        EXPECT_EQ(Bytes(doc), expected) << c.name;
        EXPECT_EQ(doc.SelAnchor, 0) << c.name;
        EXPECT_EQ(doc.SelEnd, 0) << c.name;
    }
}

TEST(SelectionEditing, NothingSelectedChangesNothing) {
    AudioDocument doc;
    LoadBytes(doc, Counting(8), false, false);
    doc.SelAnchor = doc.SelEnd = 5;
    const uint8_t* block = doc.SampleData;
    EXPECT_EQ(CropToSelection(doc), EditResult::Unchanged);
    EXPECT_EQ(CutSelection(doc), EditResult::Unchanged);
    EXPECT_EQ(doc.SampleData, block);
    EXPECT_EQ(Bytes(doc), Counting(8));
    EXPECT_EQ(doc.SelAnchor, 5);
}

TEST(SelectionEditing, SelectNothingClearsBothEnds) {
    AudioDocument doc;
    doc.SelAnchor = 7;
    doc.SelEnd = 3;
    SelectNothing(doc);
    EXPECT_EQ(doc.SelAnchor, 0);
    EXPECT_EQ(doc.SelEnd, 0);
}

}  // namespace
}  // namespace sonvira
