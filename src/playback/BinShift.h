#pragma once
// The frequency-domain core shared by the playback pitch shifter and the permanent
// change: two lanes (channels or blocks) of 1024 points, each moved independently.

#include "PairedFft.h"

namespace sonvira {

// Working memory for one shift: input and output spectra of both lanes (64 KiB).
// Owned by the caller and used by one thread at a time.
struct SpectrumScratch {
    alignas(64) LaneArray re;
    alignas(64) LaneArray im;
    alignas(64) LaneArray reOut;
    alignas(64) LaneArray imOut;
};

// Expects the lanes' samples in scratch.re (scratch.im is cleared here). Transforms
// them forward, moves bin j to Trunc(j / pitchFactor) (the mirror N − 1 − k filled from
// N − 1 − j, moved bins summed) and transforms back into scratch.reOut / imOut.
// pitchFactor is clamped to 0.01 … 100 first.
void ShiftSpectrum(SpectrumScratch& scratch, double pitchFactor);

}  // namespace sonvira
