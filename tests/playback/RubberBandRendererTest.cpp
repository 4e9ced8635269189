// The high-quality renderer against generated sines with worked-out expectations: what the
// speed and pitch fields mean, the purity of the tone, the length of the output, how fast
// a speed change is heard, and the loop seam.
#include "RubberBandRenderer.h"
#include "TestDocument.h"
#include "ToneMeasure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace sonvira {
namespace {

constexpr double kRate = 44100.0;

// A 16-bit mono sine of `frequency` Hz at half scale.
void LoadSine(AudioDocument& doc, double frequency, int32_t frames, int32_t rate = 44100) {
    reference::Document d{{}, rate, false, true};
    for (int32_t f = 0; f < frames; ++f)
        test::Put16(d.data, static_cast<int16_t>(std::lround(16384 * std::sin(2 * M_PI * frequency * f / rate))));
    test::Load(doc, d);
}

struct Player {
    AudioDocument doc;
    PlaybackState state;
    RubberBandRenderer renderer;
    std::vector<double> left;  // everything rendered, scaled to ±1

    void Play(int32_t start, int32_t end, bool loop, double speed, double pitch) {
        state.RangeStart = start;
        state.RangeEnd = end;
        state.PlayPosition = start;
        state.Loop = loop;
        state.SpeedFactor = speed;
        state.PitchFactor = pitch;
    }
    void Render(int blocks) {
        std::vector<int16_t> block(2048 * 2);
        for (int b = 0; b < blocks; ++b) {
            renderer.Render(state, doc, block.data(), static_cast<int32_t>(block.size() * 2));
            for (size_t i = 0; i < block.size(); i += 2) left.push_back(block[i] / 32768.0);
        }
    }
};



double Cents(double measured, double expected) { return 1200 * std::log2(measured / expected); }

// Speed s plays s times as fast and a tone f comes out at f × s / p, as with the standard
// engine; coupled fields keep the tone clean and where it was, at any rate of the sound.
TEST(RubberBandRenderer, FieldsMeanWhatTheyMeanForTheStandardEngine) {
    const struct {
        double speed, pitch, factor;  // expected frequency = 440 × factor
        int32_t rate;
    } cases[] = {
        {0.5, 0.5, 1.0, 44100}, {1.0, 2.0, 0.5, 44100}, {0.5, 1.0, 0.5, 44100}, {2.0, 2.0, 1.0, 44100},
        {0.25, 0.5, 0.5, 44100}, {0.5, 0.5, 1.0, 22050}, {1.0, 1.0, 1.0, 22050}, {0.5, 1.0, 0.5, 22050},
        {0.5, 0.5, 1.0, 8000},   {0.5, 0.5, 1.0, 11025}, {0.5, 0.5, 1.0, 48000}, {1.0, 2.0, 0.5, 96000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "speed " << c.speed << " pitch " << c.pitch << " rate " << c.rate);
        Player p;
        LoadSine(p.doc, 440, c.rate * 4, c.rate);
        p.Play(0, c.rate * 4, true, c.speed, c.pitch);
        p.Render(40);  // 1.9 s
        const double expected = 440 * c.factor;
        EXPECT_NEAR(Cents(test::Frequency(p.left, 22050, 22050 + 32768, kRate), expected), 0.0, 0.5);
        EXPECT_GE(test::PurityDb(p.left, 22050, expected, kRate, 15), 55.0);
    }
}

// A stereo sound goes through the two-channel stretcher: each side keeps its own tone.
TEST(RubberBandRenderer, StereoSidesKeepTheirOwnTones) {
    Player p;
    reference::Document d{{}, 44100, true, true};
    for (int32_t f = 0; f < 44100 * 4; ++f) {
        test::Put16(d.data, static_cast<int16_t>(std::lround(16384 * std::sin(2 * M_PI * 440 * f / kRate))));
        test::Put16(d.data, static_cast<int16_t>(std::lround(16384 * std::sin(2 * M_PI * 660 * f / kRate))));
    }
    test::Load(p.doc, d);
    p.Play(0, 44100 * 4, true, 0.5, 0.5);
    std::vector<double> right;
    std::vector<int16_t> block(2048 * 2);
    for (int b = 0; b < 40; ++b) {
        p.renderer.Render(p.state, p.doc, block.data(), static_cast<int32_t>(block.size() * 2));
        for (size_t i = 0; i < block.size(); i += 2) {
            p.left.push_back(block[i] / 32768.0);
            right.push_back(block[i + 1] / 32768.0);
        }
    }
    EXPECT_GE(test::PurityDb(p.left, 22050, 440, kRate, 15), 55.0);
    EXPECT_GE(test::PurityDb(right, 22050, 660, kRate, 15), 55.0);
}

// Speed keys move the speed while playing (coupled fields: the pitch follows); once they
// rest, the tone is as clean as when playing had started at that speed. At a pitch scale of
// exactly 1 the stretcher stayed some 6 dB worse after such steps.
TEST(RubberBandRenderer, ToneAfterSpeedStepsIsAsCleanAsStartedAtThatSpeed) {
    std::vector<double> measured;
    for (const bool stepped : {false, true}) {
        Player p;
        LoadSine(p.doc, 440, 44100 * 8);
        p.Play(0, 44100 * 8, true, stepped ? 1.0 : 0.5, stepped ? 1.0 : 0.5);
        double speed = 1.0;
        for (int step = 0; stepped && step < 5; ++step) {
            p.Render(2);
            speed -= 0.1;  // as the keys do, rounding included
            p.state.SpeedFactor = speed;
            p.state.PitchFactor = speed;
        }
        p.Render(stepped ? 70 : 60);
        measured.push_back(test::PurityDb(p.left, p.left.size() - 65536, 440, kRate, 15));
    }
    EXPECT_GE(measured[1], measured[0] - 1.0) << "started at half speed " << measured[0] << " dB, stepped there "
                                              << measured[1] << " dB";
}

// Without the loop the sound lasts its length divided by the speed, within one block, and
// the position reaches the end of the range there.
TEST(RubberBandRenderer, OutputLengthFollowsTheSpeed) {
    for (double speed : {0.5, 1.0, 2.0}) {
        SCOPED_TRACE(speed);
        Player p;
        LoadSine(p.doc, 440, 44100);
        p.Play(0, 44100, false, speed, 1.0);
        int blocks = 0;
        while (p.state.PlayPosition.load() < 44100 && blocks < 200) {
            p.Render(1);
            ++blocks;
        }
        EXPECT_NEAR(blocks * 2048.0, 44100 / speed, 2048.0);
        p.Render(4);
        size_t lastLoud = 0;
        for (size_t i = 0; i < p.left.size(); ++i)
            if (std::abs(p.left[i]) > 0.1) lastLoud = i;
        EXPECT_NEAR(static_cast<double>(lastLoud), 44100 / speed, 2048.0);
    }
}

// A new speed is heard within 100 ms of sound: here a tape-like halving of the tone.
TEST(RubberBandRenderer, SpeedChangeIsHeardWithinATenthOfASecond) {
    Player p;
    LoadSine(p.doc, 440, 44100 * 4);
    p.Play(0, 44100 * 4, true, 1.0, 1.0);
    p.Render(20);
    const size_t changed = p.left.size();
    p.state.SpeedFactor = 0.5;
    p.Render(20);
    size_t settled = p.left.size();
    for (size_t at = changed; at + 2205 < p.left.size(); at += 441) {
        if (std::abs(Cents(test::Frequency(p.left, at, at + 2205, kRate), 220)) < 20) {
            settled = at;
            break;
        }
    }
    EXPECT_LE(static_cast<double>(settled - changed), 0.1 * kRate);
}

// Looping a selection of whole periods: the stretcher is fed across the loop point, so no
// step in the output is larger than the sine's own steps.
TEST(RubberBandRenderer, LoopSeamOfASineSelectionIsSmooth) {
    Player p;
    LoadSine(p.doc, 441, 44100);  // a period of exactly 100 frames
    p.Play(1000, 1000 + 100 * 50, true, 1.0, 1.0);
    p.Render(30);  // about 12 loops
    double ownStep = 0.5 * 2 * std::sin(M_PI * 441 / kRate);
    double largest = 0;
    for (size_t i = 22050; i < p.left.size(); ++i) largest = std::max(largest, std::abs(p.left[i] - p.left[i - 1]));
    EXPECT_LE(largest, ownStep * 1.1);
    EXPECT_GE(largest, ownStep * 0.8) << "the tone is there";
}

// Moving the pitch field alone back and forth across 1 while playing (the stretcher's pitch
// scale crosses 1, where a cheaper resampling mode would jump): no step in the output is
// larger than the tone's own steps.
TEST(RubberBandRenderer, PitchChangesAcrossOneWhilePlayingHaveNoClick) {
    for (double other : {1.06, 0.94}) {
        SCOPED_TRACE(other);
        Player p;
        LoadSine(p.doc, 441, 44100 * 4);
        p.Play(0, 44100 * 4, true, 1.0, 1.0);
        p.Render(20);
        const double highest = 441 / std::min(other, 1.0);
        const double ownStep = 0.5 * 2 * std::sin(M_PI * highest / kRate);
        double largest = 0;
        for (int change = 0; change < 6; ++change) {
            p.state.PitchFactor = change % 2 ? 1.0 : other;
            const size_t from = p.left.size();
            p.Render(5);
            for (size_t i = from; i < p.left.size(); ++i) largest = std::max(largest, std::abs(p.left[i] - p.left[i - 1]));
        }
        EXPECT_LE(largest, ownStep * 1.1);
    }
}

// Moving the position (a click, a rewind) or pausing: the stretcher starts afresh there;
// while paused the block is silent and the position stays.
TEST(RubberBandRenderer, PauseAndMovedPositionsAreFollowed) {
    Player p;
    LoadSine(p.doc, 440, 44100 * 2);
    p.Play(0, 44100 * 2, true, 1.0, 1.0);
    p.Render(4);
    p.state.Paused = true;
    const double held = p.state.PlayPosition.load();
    p.Render(2);
    EXPECT_EQ(p.state.PlayPosition.load(), held);
    for (size_t i = p.left.size() - 4096; i < p.left.size(); ++i) ASSERT_EQ(p.left[i], 0.0);
    p.state.Paused = false;
    p.state.PlayPosition = 30000.0;
    p.Render(1);
    EXPECT_NEAR(p.state.PlayPosition.load(), 30000.0 + 2048, 1e-9);
    EXPECT_EQ(p.state.ReadIndex.load(), 30000 + 2048);
}

}  // namespace
}  // namespace sonvira
