#pragma once
// Two independent 1024-point transforms computed side by side, one per "lane"
// (left and right channel of a block). Each lane's result is bit for bit the result
// of FFT(direction, 10, ...) on that lane alone: the same operations on the same
// values in the same order per element; only the order of independent butterflies
// differs, and the twiddle factors come from tables built once from FFT's own
// twiddle sequence. The two lanes share every instruction, so the compiler can keep
// them in one vector register.

namespace sonvira {

inline constexpr int kPitchBlockBits = 10;
inline constexpr int kPitchBlockFrames = 1 << kPitchBlockBits;

// Element k of lane c is re[k][c] + i·im[k][c].
using LaneArray = double[kPitchBlockFrames][2];

// Same contract as FFT with m = 10 for each lane: direction 1 forward and divided
// by 1024, any other value inverse and unscaled. Allocates nothing; the tables are
// built on the first call (thread-safe), so any thread may call it.
void PairedFft(int direction, LaneArray& re, LaneArray& im);

}  // namespace sonvira
