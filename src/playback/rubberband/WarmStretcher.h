#pragma once
// Rubber Band's real-time stretcher made ready for the stream thread. The library's
// resampler (it runs at 1 / pitch scale) makes its buffers on first use, makes them anew
// whenever a ratio needs a larger one, and after reset() makes a new one unless both of
// its two ratio states already hold the largest size; each of those is an allocation on
// the thread that calls process(). So a warm stretcher has been run once, through the
// corners of the ratios it can be given and changes between them, and then reset: later
// resets and ratio changes find every buffer large enough.
//
// The price: after a reset the resampler starts with its largest buffer nearly full of
// the previous sound, so what is fed after the start pad comes out later than
// getStartDelay() says, by a number of frames divided by the pitch scale. That number
// depends on the state the resampler was last fed in; SettleForReset puts it in the same
// one each time, so the lead, measured once with a click when the stretcher is made, holds
// to within a frame after every reset.
//
// Thread: MakeWarmStretcher allocates and takes a few hundred milliseconds; call it before
// any sound plays. SettleForReset and WithShortResamplerTerms allocate nothing and are for
// the thread that renders with the stretcher.

#include <cstddef>
#include <memory>

namespace RubberBand {
class RubberBandStretcher;
}

namespace sonvira {

struct StretcherLimits {
    double minTimeRatio, maxTimeRatio;
    double minPitchScale, maxPitchScale;
    size_t maxProcess;  // frames handed to process() at once
};

struct WarmStretcher {
    std::unique_ptr<RubberBand::RubberBandStretcher> stretcher;
    // Output frames at pitch scale 1 that a reset stretcher's sound comes later than
    // getStartDelay() says (divide by the pitch scale for another).
    double restartLead = 0.0;
};

// A 44100 Hz real-time R3 stretcher of `channels` channels with the playback options,
// warmed up through `limits` and reset, with its restart lead measured.
WarmStretcher MakeWarmStretcher(size_t channels, const StretcherLimits& limits);

// Run just before each reset(): two small pitch-scale steps just below 1 with a few hops
// of silence each. `silence` and `scratch` are per-channel buffers of at least
// limits.maxProcess frames (silence all zeros). Allocates nothing (the stretcher is warm);
// leaves the pitch scale just below 1, so set the factors after the reset.
void SettleForReset(RubberBand::RubberBandStretcher& s, const StretcherLimits& limits, const float* const* silence,
                    float* const* scratch);

// `pitchScale` moved by at most 0.5 cents so that its inverse is a fraction with terms up
// to 65536: the resampler keeps a table with one entry per unit of that fraction's
// numerator (it takes the nearest fraction with terms up to 96000) and grows it, an
// allocation, past the twice-the-sample-rate it reserves when made. Below 0.03 cents near
// pitch scale 1.
double WithShortResamplerTerms(double pitchScale);

}  // namespace sonvira
