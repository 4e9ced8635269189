#include "PitchShiftBlock.h"

#include "BinShift.h"
#include "SaturatedSample.h"

namespace sonvira {

namespace {

// The playback thread's working memory, sized once for the program's lifetime.
SpectrumScratch g_playbackScratch;

}  // namespace

void PitchShiftBlock(int16_t* block, int frames, double pitchFactor) {
    if (frames <= 0) return;
    if (frames > kPitchBlockFrames) frames = kPitchBlockFrames;
    SpectrumScratch& s = g_playbackScratch;

    for (int j = 0; j < kPitchBlockFrames; ++j) {
        const bool inside = j < frames;
        s.re[j][0] = inside ? block[2 * j] : 0.0;
        s.re[j][1] = inside ? block[2 * j + 1] : 0.0;
    }
    ShiftSpectrum(s, pitchFactor);
    for (int j = 0; j < frames; ++j) {
        for (int c = 0; c < 2; ++c) {
            block[2 * j + c] = SaturatedSample16(s.reOut[j][c]);
        }
    }
}

}  // namespace sonvira
