#pragma once
// The effect "Rückwärts".

#include "AudioDocument.h"
#include "EditResult.h"

namespace sonvira {

// Swaps the whole frames lo + k and hi - k for k = 0 … (hi - lo) ÷ 2 where both lie below
// the frame count: a selection's frames lo … hi are reversed; with nothing selected
// (hi = N) frame 0 stays and frames 1 … N - 1 are reversed. One thread at a time; may run while
// a sound plays. Returns SamplesChanged.
EditResult Reverse(AudioDocument& doc);

}  // namespace sonvira
