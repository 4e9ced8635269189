#include <gtest/gtest.h>

#include <climits>

#include "DocumentBuilder.h"
#include "Echo.h"
#include "EffectSpan.h"
#include "Fades.h"
#include "RateSteps.h"
#include "Reverse.h"
#include "Volume.h"

namespace sonvira {
namespace {

using test::Bytes;
using test::Load16;
using test::LoadBytes;
using test::Values16;

TEST(EffectSpan, TruncatesTheExtendedProduct) {
    struct Case {
        double seconds;
        int32_t rate;
        int64_t frames;
    };
    const Case cases[] = {
        {0.5, 44100, 22050},
        {2, 8000, 16000},
        {0.000001, 44100, 0},  // shorter than one frame
        {2, 0, 0},             // no sound loaded
        // 0.3 is stored a little below 0.3; a double product would round up to 3.
        {0.3, 10, 2},
        {100, INT32_MAX, 214748364700},  // beyond 32 bits
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SpanFrames(c.seconds, c.rate), c.frames) << c.seconds << " s at " << c.rate;
    }
}

TEST(Echo, MeansWithTheValueDFramesBefore) {
    AudioDocument doc8;
    LoadBytes(doc8, {200, 100, 50, 0}, false, false);
    EXPECT_EQ(Echo(doc8, 1), EditResult::SamplesChanged);
    EXPECT_EQ(Bytes(doc8), (std::vector<uint8_t>{200, 150, 100, 50}));

    AudioDocument doc16;
    Load16(doc16, {-3, 0}, false);
    Echo(doc16, 1);
    EXPECT_EQ(Values16(doc16), (std::vector<int>{-3, -1}));  // Trunc(-1.5)
}

TEST(Echo, ChangesOnlyTheSelectedFramesFromLoPlusD) {
    // Stereo 16-bit, frames 0 … 7 with left 100 (i + 1) and right -100 (i + 1);
    // sample positions 8 … 13 select frames 4 … 6.
    std::vector<int> values;
    for (int i = 0; i < 8; ++i) {
        values.push_back(100 * (i + 1));
        values.push_back(-100 * (i + 1));
    }
    AudioDocument doc;
    Load16(doc, values, true);
    doc.SelAnchor = 13;
    doc.SelEnd = 8;
    Echo(doc, 1);
    auto expected = values;
    expected[10] = 550;  // frame 5: (600 + 500) / 2
    expected[11] = -550;
    expected[12] = 625;  // frame 6: (700 + 550) / 2, the echo of the echo
    expected[13] = -625;
    EXPECT_EQ(Values16(doc), expected);
}

TEST(Echo, SpanZeroOrLongerThanTheRangeChangesNothing) {
    for (int64_t d : {0, 4, 100}) {
        AudioDocument doc;
        LoadBytes(doc, {200, 100, 50, 0}, false, false);
        Echo(doc, d);
        EXPECT_EQ(Bytes(doc), (std::vector<uint8_t>{200, 100, 50, 0})) << d;
    }
}

struct FadeCase {
    const char* name;
    bool fadeIn;
    std::vector<int> values;  // 16-bit mono
    int32_t anchor, end;
    int64_t d;
    std::vector<int> expected;
};

TEST(Fades, ScaleTowardSilence) {
    const std::vector<int> six(6, 1000);
    const FadeCase cases[] = {
        {"fade-in whole sound", true, six, 0, 0, 4, {0, 250, 500, 750, 1000, 1000}},
        {"fade-in truncates toward zero", true, {-1000, -1000, -1000, -1000}, 0, 0, 3,
         {0, -333, -666, -1000}},
        {"fade-in stops before hi", true, six, 0, 3, 4, {0, 250, 500, 1000, 1000, 1000}},
        {"fade-out whole sound", false, six, 0, 0, 4, {1000, 1000, 1000, 750, 500, 250}},
        {"fade-out of a selection", false, six, 4, 1, 2, {1000, 1000, 1000, 500, 0, 1000}},
        {"fade-out longer than hi", false, six, 0, 0, 7, six},
    };
    for (const auto& c : cases) {
        AudioDocument doc;
        Load16(doc, c.values, false);
        doc.SelAnchor = c.anchor;
        doc.SelEnd = c.end;
        if (c.fadeIn) {
            FadeIn(doc, c.d);
        } else {
            FadeOut(doc, c.d);
        }
        EXPECT_EQ(Values16(doc), c.expected) << c.name;
    }
}

TEST(Fades, EightBitFadesAroundTheZeroLine) {
    AudioDocument doc;
    LoadBytes(doc, {0, 0, 0, 255, 255}, false, false);
    FadeIn(doc, 2);
    EXPECT_EQ(Bytes(doc), (std::vector<uint8_t>{128, 64, 0, 255, 255}));
}

TEST(Fades, SpanZeroIsAnInvalidOperationAndChangesNothing) {
    AudioDocument doc;
    Load16(doc, {1000, 1000}, false);
    EXPECT_EQ(FadeIn(doc, 0), EditResult::InvalidFloatingPoint);
    EXPECT_EQ(FadeOut(doc, 0), EditResult::InvalidFloatingPoint);
    EXPECT_EQ(Values16(doc), (std::vector<int>{1000, 1000}));

    AudioDocument empty;  // rate 0: every span is 0
    EXPECT_EQ(FadeIn(empty, SpanFrames(2, empty.SampleRate)), EditResult::InvalidFloatingPoint);
    EXPECT_EQ(FadeOut(empty, SpanFrames(2, empty.SampleRate)), EditResult::InvalidFloatingPoint);
}

struct VolumeCase {
    const char* name;
    EditResult (*effect)(AudioDocument&);
    bool is16;
    std::vector<int> values;  // 16-bit values or 8-bit bytes
    std::vector<int> expected;
};

std::vector<int> ReadValues(const AudioDocument& doc) {
    if (doc.Is16Bit) return Values16(doc);
    const auto bytes = Bytes(doc);
    return std::vector<int>(bytes.begin(), bytes.end());
}

TEST(Volume, ScalesRoundsAndClamps) {
    const VolumeCase cases[] = {
        {"louder 16-bit", Louder, true, {32000, -32000, 1000, -11}, {32767, -32768, 1100, -12}},
        {"quieter 16-bit", Quieter, true, {11, -11, -32768}, {10, -10, -29789}},
        {"louder 8-bit", Louder, false, {250, 0, 128, 138}, {255, 0, 128, 139}},
        {"quieter 8-bit", Quieter, false, {0, 255}, {12, 243}},
        {"normalise 16-bit", Normalise, true, {16384, -8192, 100, -16384}, {32767, -16384, 200, -32768}},
        {"normalise 8-bit", Normalise, false, {192, 96, 128}, {255, 64, 128}},
        {"normalise 16-bit silence", Normalise, true, {0, 0, 0}, {0, 0, 0}},
        {"normalise 8-bit silence", Normalise, false, {128, 128}, {128, 128}},
    };
    for (const auto& c : cases) {
        AudioDocument doc;
        if (c.is16) {
            Load16(doc, c.values, false);
        } else {
            LoadBytes(doc, std::vector<uint8_t>(c.values.begin(), c.values.end()), false, false);
        }
        EXPECT_EQ(c.effect(doc), EditResult::SamplesChanged) << c.name;
        EXPECT_EQ(ReadValues(doc), c.expected) << c.name;
    }
}

TEST(Volume, NormaliseTakesThePeakOfTheInclusiveSelectionOnly) {
    AudioDocument doc;
    Load16(doc, {20000, 1000, 200, 50}, false);
    doc.SelAnchor = 1;
    doc.SelEnd = 2;  // frames 1 … 2, both ends included
    Normalise(doc);
    EXPECT_EQ(Values16(doc), (std::vector<int>{20000, 32767, 6553, 50}));
}

TEST(Reverse, SwapsWholeFrames) {
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        bool stereo;
        int32_t anchor, end;
        std::vector<uint8_t> expected;
    };
    const Case cases[] = {
        {"nothing selected keeps frame 0", {'A', 'B', 'C', 'D', 'E'}, false, 0, 0,
         {'A', 'E', 'D', 'C', 'B'}},
        {"even count", {'A', 'B', 'C', 'D'}, false, 0, 0, {'A', 'D', 'C', 'B'}},
        {"selection 1 … 3", {'A', 'B', 'C', 'D', 'E'}, false, 1, 3, {'A', 'D', 'C', 'B', 'E'}},
        {"stereo frames stay whole", {'a', 'A', 'b', 'B', 'c', 'C'}, true, 0, 5,
         {'c', 'C', 'b', 'B', 'a', 'A'}},
    };
    for (const auto& c : cases) {
        AudioDocument doc;
        LoadBytes(doc, c.bytes, c.stereo, false);
        doc.SelAnchor = c.anchor;
        doc.SelEnd = c.end;
        EXPECT_EQ(Reverse(doc), EditResult::SamplesChanged) << c.name;
        EXPECT_EQ(Bytes(doc), c.expected) << c.name;
    }
}

TEST(RateSteps, TenPercentWithIntegerDivision) {
    AudioDocument doc;
    doc.SampleRate = 44100;
    EXPECT_EQ(Faster(doc), EditResult::RateChanged);
    EXPECT_EQ(doc.SampleRate, 48510);
    Slower(doc);
    EXPECT_EQ(doc.SampleRate, 44100);
    Slower(doc);
    EXPECT_EQ(doc.SampleRate, 40090);
}

TEST(RateSteps, RefuseRatesOutsideThirtyTwoBitsOrZero) {
    AudioDocument doc;
    EXPECT_EQ(Faster(doc), EditResult::Unchanged);  // no sound: rate 0 stays
    EXPECT_EQ(doc.SampleRate, 0);
    doc.SampleRate = 2000000000;
    EXPECT_EQ(Faster(doc), EditResult::RateOutOfRange);
    EXPECT_EQ(doc.SampleRate, 2000000000);
    doc.SampleRate = 1;
    EXPECT_EQ(Slower(doc), EditResult::RateOutOfRange);
    EXPECT_EQ(doc.SampleRate, 1);
}

}  // namespace
}  // namespace sonvira
