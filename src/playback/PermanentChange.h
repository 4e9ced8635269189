#pragma once
// Makes the current speed and pitch part of the sound: the pitch is moved in the
// samples themselves, block by block in the frequency domain, and the speed goes
// into the sample rate; the number of frames stays.

#include "AudioDocument.h"

#include <functional>

namespace sonvira {

// Reports progress in percent (0 … 100) once per block of 1024 frames, before the
// block, and 0 once more when done. Called on the thread doing the change; must not
// change the document.
using ProgressCallback = std::function<void(int percent)>;

// Applies pitchFactor (clamped to 0.01 … 100) to every whole frame of `doc`, each
// channel on its own: 1024-frame blocks (the last one padded with silence) go through
// the same bin move as the playback pitch shifter, in the document's own format
// (8-bit bytes with 127 as zero point, results in their low 8 or 16 bits, no
// clipping). Then SampleRate becomes Trunc(SampleRate × speedFactor), speedFactor
// clamped to 0.1 … 10, the rate limited to the 32-bit range. An empty document is
// left alone and nothing is reported. Allocates its 64 KiB of working memory before
// any sample changes (std::bad_alloc leaves the document as it was).
// Thread: any one (the window runs it on a job's worker). Playback must not be rendering from `doc` meanwhile:
// the window stops it first. Setting both factor fields back to 1, the repaint and
// the status text are the caller's.
void ApplyPermanentChange(AudioDocument& doc, double speedFactor, double pitchFactor,
                          const ProgressCallback& progress);

// The rate the speed goes into: Trunc(rate × speedFactor), the factor clamped to
// 0.1 … 10, the result limited to the 32-bit range.
int32_t ScaledRate(int32_t rate, double speedFactor);

}  // namespace sonvira
