#pragma once
// The volume effects "Maximale Lautstärke", "Lauter 10%" and "Leiser 10%". Each works on
// the frames lo … hi of the selection frame range (inclusive, below the frame count), on
// every channel value; 8-bit values are scaled around 128. Results are clamped to
// -32768 … 32767 (16-bit) or -128 … 127 before adding 128 (8-bit). Integer divisions
// round toward zero. One thread at a time; may run while a sound plays. Return SamplesChanged.

#include "AudioDocument.h"
#include "EditResult.h"

namespace sonvira {

// Scales by 32768 ÷ peak (16-bit) or 128 ÷ peak (8-bit), where peak is the largest
// magnitude in the range, at least 1, so that silence stays silent.
EditResult Normalise(AudioDocument& doc);

// x × 110 ÷ 100.
EditResult Louder(AudioDocument& doc);

// x × 100 ÷ 110.
EditResult Quieter(AudioDocument& doc);

}  // namespace sonvira
