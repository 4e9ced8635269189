// Switching engines while a sound plays: the block after the switch continues at the
// position the other engine reached, and what is heard is the sound at that position; so
// does a click after the pitch has been elsewhere.
#include "BlockRenderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace sonvira {
namespace {

constexpr int32_t kFrames = 2048;

// 441 Hz: a period of exactly 100 frames at 44100 Hz, at half scale, mono 16-bit.
void LoadSine(AudioDocument& doc, int32_t frames) {
    auto* block = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(frames) * 2));
    for (int32_t f = 0; f < frames; ++f) {
        const auto v = static_cast<int16_t>(std::lround(16384 * std::sin(2 * M_PI * f / 100.0)));
        std::memcpy(block + 2 * f, &v, 2);
    }
    doc.InstallBlock(block, frames * 2, 44100, false, true);
}

// How well a rendered block matches the sine at the source positions it should hold
// (normalised correlation, left channel): 1 when aligned, cos(2π·k/100) when k frames off.
double Alignment(const std::vector<int16_t>& block, double firstFrame) {
    double xy = 0, xx = 0, yy = 0;
    for (int i = 0; i < kFrames; ++i) {
        const double x = block[static_cast<size_t>(2 * i)];
        const double y = std::sin(2 * M_PI * (firstFrame + i) / 100.0);
        xy += x * y, xx += x * x, yy += y * y;
    }
    return xx > 0 ? xy / std::sqrt(xx * yy) : 0.0;
}

TEST(BlockRenderer, SwitchingEnginesLosesNoFramesAndRepeatsNone) {
    AudioDocument doc;
    LoadSine(doc, 44100 * 3);
    PlaybackState state;
    state.RangeEnd = doc.FrameCount();
    BlockRenderer renderer;
    renderer.Restart();
    std::vector<int16_t> block(kFrames * 2);
    // Standard, high quality, standard again, high quality again.
    const bool engines[] = {false, false, false, true, true, true, true, false, false, true, true, true};
    for (size_t b = 0; b < std::size(engines); ++b) {
        SCOPED_TRACE(b);
        state.HighQuality = engines[b];
        const double before = state.PlayPosition.load();
        renderer.Render(state, doc, block.data(), kFrames * 4);
        EXPECT_EQ(state.PlayPosition.load(), before + kFrames) << "the position runs on unbroken";
        // The standard engine at speed and pitch 1 gives the samples themselves; the
        // high-quality one gives the sound from the same place.
        EXPECT_GT(Alignment(block, before), 0.98);
    }
}

// A click after the speed and pitch have been elsewhere (up to the stretcher's limits): the restarted
// stretcher's resampler still holds what the excursion left, and the sound must start
// exactly at the new position all the same.
TEST(BlockRenderer, HighQualityRestartAfterAPitchExcursionStartsAtTheNewPosition) {
    AudioDocument doc;
    LoadSine(doc, 44100 * 3);
    BlockRenderer renderer;
    std::vector<int16_t> block(kFrames * 2);
    const struct {
        double speed, pitch;
    } excursions[] = {{1.0, 2.0}, {1.0, 0.5}, {1.0, 0.01}, {1.0, 100.0}, {10.0, 0.01}, {0.1, 100.0}, {0.1, 0.01}};
    for (const auto& excursion : excursions) {
        SCOPED_TRACE(testing::Message() << "speed " << excursion.speed << " pitch " << excursion.pitch);
        PlaybackState state;
        state.RangeEnd = doc.FrameCount();
        state.HighQuality = true;
        renderer.Restart();
        state.SpeedFactor = excursion.speed;
        state.PitchFactor = excursion.pitch;
        for (int b = 0; b < 3; ++b) renderer.Render(state, doc, block.data(), kFrames * 4);
        state.SpeedFactor = 1.0;
        state.PitchFactor = 1.0;
        for (int b = 0; b < 3; ++b) renderer.Render(state, doc, block.data(), kFrames * 4);
        state.PlayPosition = 50000.0;  // a click
        for (int b = 0; b < 3; ++b) {
            const double before = state.PlayPosition.load();
            renderer.Render(state, doc, block.data(), kFrames * 4);
            EXPECT_GT(Alignment(block, before), 0.98) << "block " << b << " after the click";
        }
    }
}

}  // namespace
}  // namespace sonvira
