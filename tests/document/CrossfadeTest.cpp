#include <gtest/gtest.h>

#include "Crossfade.h"
#include "DocumentBuilder.h"

namespace sonvira {
namespace {

using test::Bytes;
using test::Load16;
using test::LoadBytes;
using test::Values16;

TEST(Crossfade, EightBitMonoMixesTheTailIntoTheStartThenRotates) {
    // d = 4: start frames 0 … 4 fade in (g = i / 4), tail frames 6 … 9 fade out into them.
    AudioDocument doc;
    LoadBytes(doc, {200, 200, 200, 200, 200, 50, 100, 100, 100, 100}, false, false);
    doc.SelAnchor = 3;
    doc.SelEnd = 1;  // the selection is not used
    EXPECT_EQ(CrossfadeEndOntoStart(doc, 4), EditResult::BlockReplaced);
    // Mixed start: 100, 125, 150, 175, 200; the last 4 frames are dropped and the
    // first 2 move to the end.
    EXPECT_EQ(Bytes(doc), (std::vector<uint8_t>{150, 175, 200, 50, 100, 125}));
    EXPECT_EQ(doc.SelAnchor, 0);
    EXPECT_EQ(doc.SelEnd, 0);
}

TEST(Crossfade, EightBitMonoMixStaysInRange) {
    // With g = 1/3 both truncations round down: 85 + 42 - 128 = -1, which must not wrap
    // to the loudest byte 255.
    AudioDocument doc;
    LoadBytes(doc, std::vector<uint8_t>(8, 0), false, false);
    CrossfadeEndOntoStart(doc, 3);
    EXPECT_EQ(Bytes(doc), (std::vector<uint8_t>{0, 0, 0, 0, 0}));
}

TEST(Crossfade, SixteenBitStereoFadesInAndMovesWholeFrames) {
    // d = 3: frames 0 … 3 fade in with g = i / 3; h = 1 frame (4 bytes) moves to the end.
    AudioDocument doc;
    Load16(doc, {900, -900, 900, -900, 900, -900, 900, -900, 1, 2, 3, 4}, true);
    EXPECT_EQ(CrossfadeEndOntoStart(doc, 3), EditResult::BlockReplaced);
    EXPECT_EQ(Values16(doc), (std::vector<int>{300, -300, 600, -600, 0, 0}));
}

TEST(Crossfade, JustLongEnoughKeepsTheMovedFramesOnly) {
    // 6 frames, d = 4: DataSize = c + h × bpf exactly; the new block is old frames 0 and 1.
    AudioDocument doc;
    LoadBytes(doc, {128, 228, 128, 128, 128, 128}, false, false);
    EXPECT_EQ(CrossfadeEndOntoStart(doc, 4), EditResult::BlockReplaced);
    EXPECT_EQ(Bytes(doc), (std::vector<uint8_t>{128, 128 + 25}));
}

TEST(Crossfade, RefusalsLeaveTheDocumentAlone) {
    struct Case {
        const char* name;
        int64_t d;
        EditResult result;
    };
    const Case cases[] = {
        {"span 0", 0, EditResult::InvalidFloatingPoint},
        {"too short to cut", 4, EditResult::SoundTooShort},  // 5 < 4 + 2
        {"longer than the sound", 9, EditResult::SoundTooShort},
    };
    for (const auto& c : cases) {
        AudioDocument doc;
        const std::vector<uint8_t> bytes{10, 20, 30, 40, 50};
        LoadBytes(doc, bytes, false, false);
        doc.SelAnchor = 2;
        const uint8_t* block = doc.SampleData;
        EXPECT_EQ(CrossfadeEndOntoStart(doc, c.d), c.result) << c.name;
        EXPECT_EQ(doc.SampleData, block) << c.name;
        EXPECT_EQ(Bytes(doc), bytes) << c.name;
        EXPECT_EQ(doc.SelAnchor, 2) << c.name;
    }
    AudioDocument empty;
    EXPECT_EQ(CrossfadeEndOntoStart(empty, 0), EditResult::Unchanged);
}

}  // namespace
}  // namespace sonvira
