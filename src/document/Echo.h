#pragma once
// The effect "Echo...".

#include <cstdint>

#include "AudioDocument.h"
#include "EditResult.h"

namespace sonvira {

// For the frames lo + d … hi of the selection frame range (inclusive, below the frame
// count), in ascending order and in place, each channel value becomes the mean of
// itself and the value d frames earlier: 16-bit rounded toward zero, 8-bit unsigned bytes
// rounded down. Since earlier frames are already changed, the echoes repeat every d frames,
// each half as loud. d in frames (SpanFrames). Returns SamplesChanged, or Unchanged for d <= 0.
// One thread at a time (a job's worker); may run while a sound plays.
EditResult Echo(AudioDocument& doc, int64_t d);

}  // namespace sonvira
