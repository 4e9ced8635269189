#include "StreamUpsampler.h"

#include <algorithm>

namespace sonvira {
namespace {

// The cut-off, a little below the source's Nyquist frequency, so that the band where the
// filter falls off ends about where the first image of the source's spectrum begins.
constexpr double kCutoff = 0.95;
constexpr double kBeta = 8.0;  // Kaiser window: side lobes about 80 dB down

double BesselI0(double x) {
    double sum = 1.0, term = 1.0;
    for (int k = 1; k < 50 && term > 1e-12 * sum; ++k) {
        term *= (x / (2.0 * k)) * (x / (2.0 * k));
        sum += term;
    }
    return sum;
}

// The filter's response at `d` source frames from the position read.
double Tap(double d) {
    const double x = d / StreamUpsampler::kHalfTaps;
    if (x <= -1.0 || x >= 1.0) return 0.0;
    const double window = BesselI0(kBeta * std::sqrt(1.0 - x * x)) / BesselI0(kBeta);
    const double arg = M_PI * kCutoff * d;
    const double sinc = d == 0.0 ? 1.0 : std::sin(arg) / arg;
    return kCutoff * sinc * window;
}

}  // namespace

StreamUpsampler::StreamUpsampler()
    : table_(static_cast<size_t>(kPhases + 1) * kTaps), taps_(kTaps) {
    // Row p holds the taps for a position p / kPhases past a source frame; tap j weighs
    // source frame (that frame − kHalfTaps + 1 + j).
    for (int p = 0; p <= kPhases; ++p) {
        const double fraction = static_cast<double>(p) / kPhases;
        for (int j = 0; j < kTaps; ++j)
            table_[static_cast<size_t>(p * kTaps + j)] = static_cast<float>(Tap(j - kHalfTaps + 1 - fraction));
    }
    for (auto& channel : history_) channel.assign(kCapacity, 0.0f);
    Start(1.0);
}

void StreamUpsampler::Start(double step) {
    step_ = std::clamp(step, 1e-6, 1.0);
    produced_ = 0;
    // Silence before the stream's first frame, so the first positions have their taps.
    for (auto& channel : history_) std::fill(channel.begin(), channel.begin() + kHalfTaps, 0.0f);
    first_ = -kHalfTaps;
    filled_ = kHalfTaps;
}

const float* StreamUpsampler::Coefficients(double fraction) {
    const double phase = fraction * kPhases;
    const int p = std::min(static_cast<int>(phase), kPhases - 1);
    const auto a = static_cast<float>(phase - p);
    const float* lower = &table_[static_cast<size_t>(p * kTaps)];
    const float* upper = lower + kTaps;
    for (int j = 0; j < kTaps; ++j) taps_[static_cast<size_t>(j)] = lower[j] + a * (upper[j] - lower[j]);
    return taps_.data();
}

}  // namespace sonvira
