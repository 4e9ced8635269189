#pragma once
// The playback pitch shifter: one block of 16-bit stereo output, moved in pitch
// in place by moving its spectrum, each block on its own (no window, no overlap).

#include <cstdint>

namespace sonvira {

// Shifts `frames` interleaved 16-bit stereo frames (left, right) at `block` in place:
// per channel a 1024-point forward transform, bin j moved to Trunc(j / pitchFactor),
// inverse transform, each sample stored as Trunc(value) in its low 16 bits (no
// clipping: loud sums wrap around). pitchFactor is read by the caller once per block
// and clamped here to 0.01 … 100; above 1 lowers, below 1 raises the pitch.
// frames is 1024 in playback; fewer frames are padded with silence for the
// transform, more than 1024 are cut to 1024, 0 or less changes nothing.
// Thread: uses one scratch area sized once for the program, so only one thread at a
// time may call it: the playback stream thread, or the window thread for the
// priming render before the stream thread starts. Allocates nothing, never blocks.
void PitchShiftBlock(int16_t* block, int frames, double pitchFactor);

}  // namespace sonvira
