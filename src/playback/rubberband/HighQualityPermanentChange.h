#pragma once
// "Stimmen Effekt dauerhaft anwenden..." with "Hohe Klangqualität" ticked: the pitch goes
// into the samples through Rubber Band's offline R3 stretcher (the whole sound at once,
// its length kept), then the speed into the sample rate as with the standard engine. So
// the sound played at speed and pitch 1 afterwards sounds as it did with the settings,
// and as clean as the high-quality playback.

#include "AudioDocument.h"
#include "PermanentChange.h"

namespace sonvira {

// Moves every whole frame of `doc` by pitch factor p (clamped to 0.01 … 100; a tone of f
// Hz becomes f / p, the stretcher's pitch scale held within four octaves), each channel
// in the document's own format and rate, samples clipped to their range. Then SampleRate
// becomes ScaledRate(SampleRate, speedFactor). Progress: 0 … 50 % while the stretcher
// studies the sound, 50 … 100 % while it renders it, then 0. An empty document is left
// alone. Allocates its working memory before any sample changes (std::bad_alloc leaves
// the document as it was).
// Thread: any one (a job's worker); playback must not render from `doc` meanwhile.
void ApplyHighQualityPermanentChange(AudioDocument& doc, double speedFactor, double pitchFactor,
                                     const ProgressCallback& progress);

}  // namespace sonvira
