#pragma once
// The effects "Schneller 10%" and "Langsamer 10%": they change only SampleRate, so the
// sound plays and is saved at the new rate. One thread at a time; SampleRate is atomic, so they
// may run while a sound plays. The view needs no redraw.

#include "AudioDocument.h"
#include "EditResult.h"

namespace sonvira {

// Both leave a rate of 0 or below (no sound loaded) alone and return Unchanged.

// SampleRate := SampleRate × 110 ÷ 100. RateChanged, or RateOutOfRange (rate kept) when
// the result would not fit 32 bits.
EditResult Faster(AudioDocument& doc);

// SampleRate := SampleRate × 100 ÷ 110. RateChanged, or RateOutOfRange (rate kept) when
// the result would be 0: a rate of 0 marks a document with no sound and cannot be
// converted or played.
EditResult Slower(AudioDocument& doc);

}  // namespace sonvira
