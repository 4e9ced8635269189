#include "BinShift.h"

#include "Factors.h"

#include <cstring>

namespace sonvira {

namespace {

constexpr int kN = kPitchBlockFrames;
constexpr int kHalf = kN / 2;

void Clear(LaneArray& a) { std::memset(a, 0, sizeof(a)); }

void AddBin(LaneArray& re, LaneArray& im, int to, const LaneArray& fromRe,
            const LaneArray& fromIm, int from) {
    for (int c = 0; c < 2; ++c) {
        re[to][c] += fromRe[from][c];
        im[to][c] += fromIm[from][c];
    }
}

// Every bin j of the lower half goes to Trunc(j × r), its mirror with it; bins
// that land on the same k add up. Done in j order, as the sums' rounding depends on it.
void MoveBins(SpectrumScratch& s, double ratio) {
    Clear(s.reOut);
    Clear(s.imOut);
    for (int j = 0; j < kHalf; ++j) {
        const int k = static_cast<int>(j * ratio);
        if (k > kHalf || k < 0) continue;
        AddBin(s.reOut, s.imOut, k, s.re, s.im, j);
        AddBin(s.reOut, s.imOut, kN - 1 - k, s.re, s.im, kN - 1 - j);
    }
}

}  // namespace

void ShiftSpectrum(SpectrumScratch& scratch, double pitchFactor) {
    // Clamped, the ratio lies in 0.01 … 100, so j × ratio stays below 51200.
    const double ratio = 1.0 / ClampPitchFactor(pitchFactor);
    Clear(scratch.im);
    PairedFft(1, scratch.re, scratch.im);
    MoveBins(scratch, ratio);
    PairedFft(-1, scratch.reOut, scratch.imOut);
}

}  // namespace sonvira
