#pragma once
// The time span of the echo, the fades and the crossfade, turned into frames.

#include <cstdint>

namespace sonvira {

// d = Trunc(seconds × rate), the product formed in extended precision. A span shorter
// than one frame, or a rate of 0 (no sound loaded), gives 0; negative inputs give 0.
// 64 bits wide: 100 s at a very high rate exceeds the 32-bit range.
int64_t SpanFrames(double seconds, int32_t rate);

}  // namespace sonvira
