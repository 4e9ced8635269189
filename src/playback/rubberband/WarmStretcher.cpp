#include "WarmStretcher.h"

#include <rubberband/RubberBandStretcher.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace sonvira {
namespace {

using RubberBand::RubberBandStretcher;

constexpr double kRate = 44100.0;

// Buffers for one process() call: the input (silence unless a test signal is put in),
// a second input that stays silent, and the output.
class Plumbing {
public:
    Plumbing(size_t channels, size_t frames)
        : channels_(channels),
          frames_(frames),
          in_(frames * channels, 0.0f),
          zeros_(frames * channels, 0.0f),
          out_(frames * channels, 0.0f),
          silence_{zeros_.data(), zeros_.data() + (channels - 1) * frames},
          scratch_{out_.data(), out_.data() + (channels - 1) * frames} {}

    float* In(size_t channel) { return in_.data() + channel * frames_; }
    const float* const* Silence() const { return silence_; }
    float* const* Scratch() { return scratch_; }

    void Process(RubberBandStretcher& s, size_t frames) {
        const float* in[2] = {In(0), In(channels_ - 1)};
        s.process(in, std::min(frames, frames_), false);
    }
    // Retrieves all there is; appends the first channel to `kept` if given.
    void Drain(RubberBandStretcher& s, std::vector<float>* kept) {
        while (s.available() > 0) {
            const size_t n = s.retrieve(scratch_, std::min(static_cast<size_t>(s.available()), frames_));
            if (kept) kept->insert(kept->end(), out_.begin(), out_.begin() + static_cast<std::ptrdiff_t>(n));
        }
    }

private:
    size_t channels_, frames_;
    std::vector<float> in_, zeros_, out_;
    const float* silence_[2];
    float* scratch_[2];
};

// Through the corners (the largest pitch scale gives the resampler its largest buffer) and
// back to 1, a hop of silence each: enough for the resampler to run at each.
void WarmUp(RubberBandStretcher& s, const StretcherLimits& limits, Plumbing& plumbing) {
    const struct {
        double time, pitch;
    } corners[] = {
        {1.0, 1.0},
        {limits.minTimeRatio, limits.maxPitchScale},
        {limits.maxTimeRatio, limits.minPitchScale},
        {limits.maxTimeRatio, limits.maxPitchScale},
        {limits.minTimeRatio, limits.minPitchScale},
        {1.0, 1.0},
    };
    for (const auto& corner : corners) {
        s.setTimeRatio(corner.time);
        s.setPitchScale(WithShortResamplerTerms(corner.pitch));
        plumbing.Process(s, std::clamp<size_t>(s.getSamplesRequired(), 256, limits.maxProcess));
        plumbing.Drain(s, nullptr);
    }
}

void Feed(RubberBandStretcher& s, const StretcherLimits& limits, const float* const* silence, float* const* scratch,
          int rounds) {
    for (int round = 0; round < rounds; ++round) {
        s.process(silence, std::clamp<size_t>(s.getSamplesRequired(), 256, limits.maxProcess), false);
        while (s.available() > 0) s.retrieve(scratch, std::min(static_cast<size_t>(s.available()), limits.maxProcess));
    }
}

// A click fed after the start pad at speed and pitch scale 1, where the stretcher passes
// it through sharp: how far after getStartDelay() its peak comes out.
double MeasureRestartLead(RubberBandStretcher& s, const StretcherLimits& limits, Plumbing& plumbing) {
    constexpr size_t kClickAt = 256;
    s.reset();
    std::vector<float> out;
    for (size_t pad = s.getPreferredStartPad(); pad > 0;) {
        const size_t n = std::min(pad, limits.maxProcess);
        plumbing.Process(s, n);
        pad -= n;
    }
    plumbing.Drain(s, &out);
    const size_t delay = s.getStartDelay();
    const size_t channels = s.getChannelCount();
    constexpr size_t kChunk = 1024;
    for (size_t c = 0; c < channels; ++c) plumbing.In(c)[kClickAt] = 1.0f;
    plumbing.Process(s, kChunk);
    for (size_t c = 0; c < channels; ++c) plumbing.In(c)[kClickAt] = 0.0f;
    // Until the click is out, however late: the lead is at most half the resampler's
    // largest buffer, far below a block.
    while (out.size() < delay + kClickAt + 2048) {
        plumbing.Drain(s, &out);
        plumbing.Process(s, kChunk);
    }
    plumbing.Drain(s, &out);
    const auto peak = std::max_element(out.begin() + static_cast<std::ptrdiff_t>(delay), out.end(),
                                       [](float a, float b) { return std::fabs(a) < std::fabs(b); });
    s.reset();
    return static_cast<double>(peak - out.begin()) - static_cast<double>(delay + kClickAt);
}

}  // namespace

// Each step swaps the resampler's two ratio states; after the second, the state a reset
// starts from is the first step's, fed at a ratio above 1, where it takes one frame at a
// time and so always stops one frame short of full or full.
void SettleForReset(RubberBandStretcher& s, const StretcherLimits& limits, const float* const* silence,
                    float* const* scratch) {
    for (const double pitchScale : {WithShortResamplerTerms(0.999), WithShortResamplerTerms(0.998)}) {
        s.setPitchScale(pitchScale);
        Feed(s, limits, silence, scratch, 1);
    }
}

double WithShortResamplerTerms(double pitchScale) {
    constexpr double kMaxTerm = 65536.0;
    const double ratio = 1.0 / pitchScale;
    const double denominator = ratio >= 1.0 ? std::floor(kMaxTerm / ratio) : kMaxTerm;
    const double numerator = std::max(1.0, std::round(ratio * denominator));
    return denominator / numerator;
}

// OptionPitchHighConsistency keeps the stretcher's resampler running even at a pitch scale
// of exactly 1 (about a quarter of its cost), but without it a pitch change across 1 while
// playing jumps audibly: the resampler moves from one side of the stretch to the other.
WarmStretcher MakeWarmStretcher(size_t channels, const StretcherLimits& limits) {
    WarmStretcher warm;
    warm.stretcher = std::make_unique<RubberBandStretcher>(
        static_cast<size_t>(kRate), channels,
        RubberBandStretcher::OptionProcessRealTime | RubberBandStretcher::OptionEngineFiner |
            RubberBandStretcher::OptionPitchHighConsistency | RubberBandStretcher::OptionChannelsTogether);
    warm.stretcher->setMaxProcessSize(limits.maxProcess);
    Plumbing plumbing(channels, limits.maxProcess);
    WarmUp(*warm.stretcher, limits, plumbing);
    SettleForReset(*warm.stretcher, limits, plumbing.Silence(), plumbing.Scratch());
    warm.restartLead = MeasureRestartLead(*warm.stretcher, limits, plumbing);
    return warm;
}

}  // namespace sonvira
