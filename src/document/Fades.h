#pragma once
// The effects "Weich einblenden" and "Weich ausblenden". Both scale each channel value
// by a gain g: 16-bit x := Trunc(x × g); 8-bit b := Trunc((b - 128) × g + 128).
// d is the span in frames (SpanFrames). One thread at a time; may run while a sound plays.

#include <cstdint>

#include "AudioDocument.h"
#include "EditResult.h"

namespace sonvira {

// Frames lo … lo + d, only those below hi and below the frame count, with
// g = (i - lo) / d: the first frame becomes silent, frame lo + d keeps its value.
// d <= 0 gives InvalidFloatingPoint (0 / 0) and changes nothing; else SamplesChanged.
EditResult FadeIn(AudioDocument& doc, int64_t d);

// Frames hi - d … hi, only those at or above lo and below the frame count, with
// g = (hi - i) / d: frame hi - d keeps its value, frame hi becomes silent.
// d <= 0 gives InvalidFloatingPoint; d > hi changes nothing (Unchanged); else SamplesChanged.
EditResult FadeOut(AudioDocument& doc, int64_t d);

}  // namespace sonvira
