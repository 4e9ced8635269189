#include <gtest/gtest.h>

#include "FillBuffer.h"
#include "ScalarReferenceRenderer.h"
#include "TestDocument.h"

#include <cmath>
#include <limits>
#include <vector>

namespace sonvira {
namespace {

constexpr int kBlockFrames = 2048;
using Output = std::vector<int16_t>;

struct Renderer {
    AudioDocument doc;
    PlaybackState state;
    Output out = Output(2 * kBlockFrames, 0x5555);

    explicit Renderer(const reference::Document& d, int32_t rangeStart = 0, int32_t rangeEnd = -1) {
        test::Load(doc, d);
        state.RangeStart = rangeStart;
        state.RangeEnd = rangeEnd < 0 ? doc.FrameCount() : rangeEnd;
        state.PlayPosition = rangeStart;
    }
    const Output& Render() {
        FillBuffer(state, doc, out.data(), kOutputBlockBytes);
        return out;
    }
    int16_t Left(int frame) const { return out[2 * frame]; }
    int16_t Right(int frame) const { return out[2 * frame + 1]; }
    // Which ramp frame output frame i came from (−1 for silence).
    int SourceOfRamp(int frame) const { return Left(frame) == 0 ? -1 : Left(frame) / 8; }
};

TEST(FillBuffer, Stereo16AtSpeedOneIsTheDocumentFrameForFrame) {
    const auto d = test::RandomDocument(5000, 44100, true, true, 1);
    Renderer r(d, 100);
    r.Render();
    for (int i = 0; i < kBlockFrames; ++i) {
        for (int c = 0; c < 2; ++c) {
            int16_t in;
            std::memcpy(&in, d.data.data() + 4 * (100 + i) + 2 * c, 2);
            const int out = r.out[2 * i + c];
            const int towardZero = in > 0 ? in - 1 : in < 0 ? in + 1 : 0;
            ASSERT_TRUE(out == in || out == towardZero) << "frame " << i << " channel " << c;
        }
    }
    EXPECT_EQ(r.state.PlayPosition, 100.0 + kBlockFrames);
}

struct StepCase {
    int32_t rate;
    double speed;
    std::vector<int> firstSources;
};

TEST(FillBuffer, ReadsTheNearestFrameHalvesToEven) {
    const StepCase cases[] = {
        {44100, 1.0, {0, 1, 2, 3, 4, 5, 6, 7}},
        {22050, 1.0, {0, 0, 1, 2, 2, 2, 3, 4, 4, 4, 5, 6}},
        {44100, 2.0, {0, 2, 4, 6, 8}},
        {11025, 1.0, {0, 0, 0, 1, 1, 1, 2, 2, 2, 2, 2, 3}},
    };
    for (const auto& c : cases) {
        Renderer r(test::RampDocument(4000, c.rate));
        r.state.SpeedFactor = c.speed;
        r.Render();
        for (size_t i = 0; i < c.firstSources.size(); ++i) {
            EXPECT_EQ(r.SourceOfRamp(static_cast<int>(i)), c.firstSources[i])
                << c.rate << " Hz, speed " << c.speed << ", output frame " << i;
        }
    }
}

TEST(FillBuffer, Rate48000StepsBy160Over147) {
    Renderer r(test::RampDocument(4000, 48000));
    r.Render();
    for (int i = 0; i < kBlockFrames; ++i) {
        const int nearest = (320 * i + 147) / 294;  // i × 160/147 rounded; no ties occur
        ASSERT_EQ(r.SourceOfRamp(i), nearest) << "output frame " << i;
    }
}

struct FormatCase {
    const char* name;
    bool stereo, is16;
    std::vector<uint8_t> frame;  // repeated over the whole document
    int16_t left, right;
};

// Constant documents come through the pitch shifter unchanged, so the conversion is
// seen exactly.
TEST(FillBuffer, ConvertsEveryFormatTo16BitStereo) {
    const FormatCase cases[] = {
        {"8-bit mono 0", false, false, {0}, -32768, -32768},
        {"8-bit mono 128", false, false, {128}, 0, 0},
        {"8-bit mono 255", false, false, {255}, 32512, 32512},
        {"8-bit stereo", true, false, {0, 255}, -32768, 32512},
        {"16-bit mono", false, true, {0x18, 0xFC}, -1000, -1000},
        {"16-bit stereo", true, true, {0x39, 0x30, 0x00, 0x80}, 12345, -32768},
    };
    for (const auto& c : cases) {
        reference::Document d{{}, 44100, c.stereo, c.is16};
        for (int f = 0; f < 3000; ++f) d.data.insert(d.data.end(), c.frame.begin(), c.frame.end());
        Renderer r(d);
        r.Render();
        for (int i = 0; i < kBlockFrames; ++i) {
            ASSERT_EQ(r.Left(i), c.left) << c.name << " frame " << i;
            ASSERT_EQ(r.Right(i), c.right) << c.name << " frame " << i;
        }
    }
}

struct RangeCase {
    const char* name;
    int32_t documentFrames, rangeStart, rangeEnd;
    bool loop;
    int firstSilentFrame;   // output frames from here on are silence
    double positionAfter;   // PlayPosition after the block
};

TEST(FillBuffer, RangeEndLoopAndStaleRange) {
    const RangeCase cases[] = {
        {"range end 1000, no loop", 3000, 0, 1000, false, 1000, 2048.0},
        {"range end 1000, loop", 3000, 300, 1000, true, 700, 300.0},
        {"stale range end beyond the document", 1500, 0, 5000, false, 1500, 2048.0},
        {"stale range end, loop", 1500, 0, 5000, true, 1500, 0.0},
        {"range not reached, loop", 4000, 0, 3000, true, 2048, 2048.0},
    };
    for (const auto& c : cases) {
        Renderer r(test::RampDocument(c.documentFrames, 44100), c.rangeStart, c.rangeEnd);
        r.state.Loop = c.loop;
        r.Render();
        for (int i = 0; i < kBlockFrames; ++i) {
            const int expected = i < c.firstSilentFrame ? c.rangeStart + i : -1;
            ASSERT_EQ(r.SourceOfRamp(i), expected) << c.name << ", output frame " << i;
        }
        EXPECT_EQ(r.state.PlayPosition, c.positionAfter) << c.name;
        EXPECT_EQ(r.state.FrameCount, c.documentFrames) << c.name;
    }
}

TEST(FillBuffer, LoopingBlockStartsAgainAtRangeStart) {
    Renderer r(test::RampDocument(3000, 44100), 300, 1000);
    r.Render();
    r.Render();
    EXPECT_EQ(r.SourceOfRamp(0), 300);
    EXPECT_EQ(r.SourceOfRamp(699), 999);
    EXPECT_EQ(r.SourceOfRamp(700), -1);
}

// A pause holds the position on one frame and fades that frame to true silence within
// 5 ms (held, it was a constant offset on the line, and STOP clicked); the next block,
// still paused, is silent. Playing again starts at full level.
TEST(FillBuffer, PauseHoldsThePositionAndFadesTheHeldFrameToSilence) {
    Renderer r(test::RampDocument(3000, 44100), 0);
    r.state.PlayPosition = 1234.4;
    r.state.Paused = true;
    r.Render();
    const int held = 8 * 1234 + 4;
    EXPECT_NEAR(r.Left(0), held, 0.01 * held);
    for (int i = 1; i < kBlockFrames; ++i) {
        ASSERT_LE(std::abs(r.Left(i)), std::abs(r.Left(i - 1)) + 1) << "the level only falls, frame " << i;
        if (i >= 220) {
            ASSERT_EQ(r.Left(i), 0) << i;
        }
    }
    EXPECT_GT(std::abs(r.Left(110)), held / 4) << "a fade, not a cut";
    EXPECT_EQ(r.state.PlayPosition, 1234.4);
    r.Render();
    EXPECT_EQ(r.out, Output(2 * kBlockFrames, 0));

    r.state.Paused = false;
    r.Render();
    EXPECT_EQ(r.SourceOfRamp(0), 1234);
    EXPECT_EQ(r.SourceOfRamp(1), 1235);
}

TEST(FillBuffer, EmptyDocumentRendersSilence) {
    for (bool loop : {false, true}) {
        AudioDocument doc;
        PlaybackState state;
        state.Loop = loop;
        Output out(2 * kBlockFrames, 77);
        FillBuffer(state, doc, out.data(), kOutputBlockBytes);
        EXPECT_EQ(out, Output(2 * kBlockFrames, 0)) << "loop " << loop;
        EXPECT_EQ(state.FrameCount, 0);
        EXPECT_EQ(state.ReadIndex, 0);
    }
}

TEST(FillBuffer, ReadIndexIsPublishedAsSamplePosition) {
    struct Case {
        bool stereo;
        bool loop;
        int32_t rangeEnd;
        int32_t readIndex;
    };
    // Last frame of a block from 100 at speed 1 is frame 2147; a wrap publishes RangeStart.
    const Case cases[] = {{false, false, 5000, 2147},
                          {true, false, 5000, 2 * 2147},
                          {true, true, 1000, 2 * 100},
                          {false, true, 1000, 100}};
    for (const auto& c : cases) {
        Renderer r(test::RandomDocument(5000, 44100, c.stereo, false, 3), 100, c.rangeEnd);
        r.state.Loop = c.loop;
        r.Render();
        EXPECT_EQ(r.state.ReadIndex, c.readIndex) << "stereo " << c.stereo << " loop " << c.loop;
    }
}

// Factors typed half-way: clamped to the fields' ranges, never a read before frame 0.
TEST(FillBuffer, OutOfRangeSpeedIsClampedToTheFieldRange) {
    struct Case {
        double speed;
        double advance;  // per block of 2048 frames
    };
    const Case cases[] = {{-3.0, 204.8}, {0.0, 204.8}, {1e9, 20480.0},
                          {std::numeric_limits<double>::quiet_NaN(), 204.8}};
    for (const auto& c : cases) {
        Renderer r(test::RandomDocument(30000, 44100, false, true, 5), 1000);
        r.state.Loop = false;
        r.state.SpeedFactor = c.speed;
        r.Render();
        EXPECT_NEAR(r.state.PlayPosition, 1000 + c.advance, 1e-6) << "speed " << c.speed;
    }
}

TEST(FillBuffer, PositionBeforeFrameZeroIsSilence) {
    Renderer r(test::RampDocument(3000, 44100));
    r.state.PlayPosition = -10.0;  // a click into an empty view stores −1, say
    r.Render();
    for (int i = 0; i < 10; ++i) EXPECT_EQ(r.SourceOfRamp(i), -1) << i;
    EXPECT_EQ(r.SourceOfRamp(10), 0);
}

// The engine's tables, lanes and rounding trick against the scalar reference renderer:
// every format, odd factors, positions running out of the range, several blocks.
TEST(FillBuffer, BitIdenticalToScalarReference) {
    struct Case {
        int32_t frames, rate;
        bool stereo, is16, loop;
        double speed, pitch, start;
        int32_t rangeStart, rangeEnd;
    };
    const Case cases[] = {
        {20000, 44100, true, true, true, 1.0, 1.0, 0, 0, 20000},
        {9000, 22050, false, false, true, 0.37, 1.7, 1.5, 1000, 8000},
        {9000, 48000, true, false, false, 2.3, 0.6, 100.25, 0, 9000},
        {7000, 8000, false, true, true, 9.9, 0.013, 0, 0, 7000},
        {3000, 96000, true, true, true, 1.25, 80.0, 2999.5, 0, 99999},
        {5000, 44100, false, true, false, -1.0, 0.0, -40.0, 0, 5000},
    };
    uint32_t seed = 40;
    for (const auto& c : cases) {
        const auto d = test::RandomDocument(c.frames, c.rate, c.stereo, c.is16, ++seed);
        Renderer fast(d, c.rangeStart, c.rangeEnd);
        reference::State slow;
        fast.state.Loop = c.loop;
        fast.state.SpeedFactor = c.speed;
        fast.state.PitchFactor = c.pitch;
        fast.state.PlayPosition = c.start;
        slow.Loop = c.loop;
        slow.SpeedFactor = c.speed;
        slow.PitchFactor = c.pitch;
        slow.PlayPosition = c.start;
        slow.RangeStart = c.rangeStart;
        slow.RangeEnd = c.rangeEnd;
        Output expected(2 * kBlockFrames);
        for (int block = 0; block < 6; ++block) {
            fast.Render();
            reference::FillBuffer(slow, d, expected.data(), kOutputBlockBytes);
            ASSERT_EQ(fast.out, expected) << "case " << seed << " block " << block;
            ASSERT_EQ(fast.state.PlayPosition, slow.PlayPosition) << "case " << seed;
            ASSERT_EQ(fast.state.ReadIndex, slow.ReadIndex) << "case " << seed;
            ASSERT_EQ(fast.state.FrameCount, slow.FrameCount) << "case " << seed;
        }
    }
}

}  // namespace
}  // namespace sonvira
