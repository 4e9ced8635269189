#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

#include "DocumentBuilder.h"
#include "FormatConversion.h"

namespace sonvira {
namespace {

using test::Bytes;
using test::Counting;
using test::Load16;
using test::LoadBytes;
using test::Values16;

// Stereo 16-bit frames whose left value is the frame index and right its negation.
std::vector<int> NumberedStereoFrames(int frames) {
    std::vector<int> values;
    for (int i = 0; i < frames; ++i) {
        values.push_back(i);
        values.push_back(-i);
    }
    return values;
}

TEST(FormatConversion, LowerRatePicksEveryOtherFrame) {
    AudioDocument doc;
    Load16(doc, NumberedStereoFrames(1000), true, 44100);
    doc.SelAnchor = 10;
    doc.SelEnd = 20;
    EXPECT_EQ(ChangeSampleFormat(doc, {22050, true, true}), EditResult::BlockReplaced);
    EXPECT_EQ(doc.DataSize, 2000);
    std::vector<int> expected;
    for (int i = 0; i < 1000; i += 2) {
        expected.push_back(i);
        expected.push_back(-i);
    }
    EXPECT_EQ(Values16(doc), expected);
    EXPECT_EQ(doc.SampleRate, 22050);
    EXPECT_EQ(doc.SelAnchor, 0);
    EXPECT_EQ(doc.SelEnd, 0);
}

TEST(FormatConversion, BytesAfterTheLastWholeFrameAreZero) {
    AudioDocument doc;
    Load16(doc, NumberedStereoFrames(1001), true, 44100);
    ChangeSampleFormat(doc, {22050, true, true});
    ASSERT_EQ(doc.DataSize, 2002);
    EXPECT_EQ(doc.SampleData[2000], 0);
    EXPECT_EQ(doc.SampleData[2001], 0);
    EXPECT_EQ(Values16(doc)[998], 998);  // frame 499 copies source frame 998
}

TEST(FormatConversion, HigherRateRepeatsFrames) {
    AudioDocument doc;
    Load16(doc, {10, 11, 12}, false, 8000);
    ChangeSampleFormat(doc, {44100, false, true});
    EXPECT_EQ(doc.DataSize, 6 * 44100 / 8000);  // bytes, not frames: 33
    const auto values = Values16(doc);
    EXPECT_EQ(std::vector<int>(values.begin(), values.begin() + 7),
              (std::vector<int>{10, 10, 10, 10, 10, 10, 11}));
}

TEST(FormatConversion, WidthAndChannels) {
    struct Case {
        const char* name;
        std::vector<uint8_t> source;
        SampleFormat from, to;
        std::vector<uint8_t> expected;
    };
    auto le16 = [](std::initializer_list<int> values) {
        AudioDocument doc;
        Load16(doc, values, false);
        return Bytes(doc);
    };
    const Case cases[] = {
        {"16 to 8 bits floors to the high byte", le16({-32768, -1, 0, 255, 256, 32767}),
         {8000, false, true}, {8000, false, false}, {0, 127, 128, 128, 129, 255}},
        {"8 to 16 bits scales by 256", {0, 128, 255}, {8000, false, false}, {8000, false, true},
         le16({-32768, 0, 32512})},
        {"stereo to mono keeps a silent left", le16({0, 30000, 0, -30000}), {8000, true, true},
         {8000, false, true}, le16({0, 0})},
        {"mono to stereo doubles", {10, 200}, {8000, false, false}, {8000, true, false},
         {10, 10, 200, 200}},
        {"8-bit stereo to 16-bit mono", {0, 255, 255, 0}, {8000, true, false}, {8000, false, true},
         le16({-32768, 32512})},
        {"same format rebuilds the same block", Counting(12), {8000, true, true},
         {8000, true, true}, Counting(12)},
    };
    for (const auto& c : cases) {
        AudioDocument doc;
        LoadBytes(doc, c.source, c.from.IsStereo, c.from.Is16Bit, c.from.SampleRate);
        EXPECT_EQ(ChangeSampleFormat(doc, c.to), EditResult::BlockReplaced) << c.name;
        EXPECT_EQ(Bytes(doc), c.expected) << c.name;
        EXPECT_EQ(doc.IsStereo, c.to.IsStereo) << c.name;
        EXPECT_EQ(doc.Is16Bit, c.to.Is16Bit) << c.name;
    }
}

TEST(FormatConversion, EightToSixteenAndBackReturnsTheSameBytes) {
    AudioDocument doc;
    LoadBytes(doc, Counting(256), true, false);
    ChangeSampleFormat(doc, {8000, true, true});
    ChangeSampleFormat(doc, {8000, true, false});
    EXPECT_EQ(Bytes(doc), Counting(256));
}

TEST(FormatConversion, PartialLastFrameIsNeverReadPast) {
    // 6 bytes of 16-bit stereo: one whole frame and half of one. Ten times the rate maps
    // the last output frames onto the partial frame, which reads as the last whole one.
    AudioDocument doc;
    LoadBytes(doc, {0x10, 0x00, 0x20, 0x00, 0x30, 0x00}, true, true, 100);
    ChangeSampleFormat(doc, {1000, true, true});
    ASSERT_EQ(doc.DataSize, 60);
    const auto values = Values16(doc);
    EXPECT_EQ(values.back(), 0x20);
    EXPECT_EQ(values[values.size() - 2], 0x10);

    // No whole frame at all: the output is silence.
    AudioDocument tiny;
    LoadBytes(tiny, {0x10, 0x00, 0x20}, true, true, 100);
    ChangeSampleFormat(tiny, {1000, true, true});
    EXPECT_EQ(Bytes(tiny), std::vector<uint8_t>(30, 0));
}

TEST(FormatConversion, SizeIsComputedInSixtyFourBits) {
    const SampleFormat mono8{44100, false, false}, stereo16{44100, true, true};
    EXPECT_EQ(ConvertedSize(4004, {44100, true, true}, {22050, true, true}), 2002);
    EXPECT_EQ(ConvertedSize(7, stereo16, mono8), 1);  // 7 div 2 = 3, 3 div 2 = 1
    EXPECT_EQ(ConvertedSize(INT32_MAX, mono8, stereo16), 4LL * INT32_MAX);
    EXPECT_EQ(ConvertedSize(INT32_MAX, mono8, {200000, true, true}), 4LL * INT32_MAX / 44100 * 200000 +
                                                                          (4LL * INT32_MAX % 44100) * 200000 / 44100);
    EXPECT_EQ(ConvertedSize(INT32_MAX, {1, false, false}, {INT32_MAX, true, true}), INT64_MAX);
}

TEST(FormatConversion, RefusalsLeaveTheDocumentAlone) {
    struct Case {
        const char* name;
        int32_t rate;  // of the document
        int32_t claimedSize;
        SampleFormat to;
        EditResult result;
    };
    const Case cases[] = {
        // 1.5 GB of 8-bit mono made 16-bit stereo: 6 GB.
        {"beyond 32 bits", 44100, 1500000000, {44100, true, true}, EditResult::SizeTooLarge},
        {"faster beyond 32 bits", 8000, 1000000000, {22050, false, false}, EditResult::SizeTooLarge},
        {"document rate 0", 0, 4, {8000, false, false}, EditResult::RateOutOfRange},
        {"target rate 0", 8000, 4, {0, false, false}, EditResult::RateOutOfRange},
    };
    for (const auto& c : cases) {
        AudioDocument doc;
        LoadBytes(doc, {1, 2, 3, 4}, false, false, c.rate);
        const uint8_t* block = doc.SampleData;
        // The refusals happen before any sample is read, so the large sizes can be
        // claimed for a small block.
        doc.DataSize = c.claimedSize;
        EXPECT_EQ(ChangeSampleFormat(doc, c.to), c.result) << c.name;
        EXPECT_EQ(doc.SampleData, block) << c.name;
        EXPECT_EQ(doc.DataSize, c.claimedSize) << c.name;
        EXPECT_EQ(doc.SampleRate, c.rate) << c.name;
        EXPECT_FALSE(doc.IsStereo) << c.name;
        EXPECT_FALSE(doc.Is16Bit) << c.name;
    }
    AudioDocument empty;
    EXPECT_EQ(ChangeSampleFormat(empty, {8000, true, true}), EditResult::Unchanged);
}

}  // namespace
}  // namespace sonvira
