#pragma once
// The effect "Ende auf Anfang überblenden": fades the start of the sound in (8-bit mono
// also mixes the end into it), drops the last d frames and moves the first d ÷ 2 frames
// to the end, so that the end joins the start in the middle of the faded stretch and the
// sound can loop without a click. Works on the whole sound; the selection is not used.

#include <cstdint>

#include "AudioDocument.h"
#include "EditResult.h"

namespace sonvira {

// d is the span in frames (SpanFrames); c = d × bytes per frame, h = d ÷ 2.
// 8-bit mono start frame i becomes the faded start plus the faded tail around 128,
// limited to 0 … 255. Results, each leaving the document as it was unless BlockReplaced:
//  - Unchanged: the document is empty;
//  - InvalidFloatingPoint: d = 0 on a sound of at least one byte (the gain 0 / 0);
//  - SoundTooShort: DataSize < c + h × bytes per frame, too short to cut;
//  - OutOfMemory;
//  - BlockReplaced: the new block of DataSize - c bytes is installed, selection 0.
// One thread at a time (a job's worker); replaces the block, so playback stops first.
EditResult CrossfadeEndOntoStart(AudioDocument& doc, int64_t d);

}  // namespace sonvira
