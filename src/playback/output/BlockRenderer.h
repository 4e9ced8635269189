#pragma once
// The renderer the stream thread calls for each block: the standard engine (FillBuffer)
// or, while "Hohe Klangqualität" is ticked (PlaybackState::HighQuality, read once per
// block), the high-quality one (RubberBandRenderer). Switching takes effect at the next
// block; the high-quality engine then starts afresh at the position the standard one
// reached, so no source frame is skipped or heard twice.
//
// Made once with the sound output (the high-quality engine sizes and warms up its
// stretchers there). Render and Restart allocate nothing, lock nothing and never wait,
// with either engine and across switches between them (playback_realtime_tests counts
// every call over a table of playback events). Thread: one caller at a time, as FillBuffer.

#include "AudioDocument.h"
#include "PlaybackState.h"
#include "RubberBandRenderer.h"

#include <cstdint>

namespace sonvira {

class BlockRenderer {
public:
    void Render(PlaybackState& state, const AudioDocument& doc, int16_t* output, int32_t bytes);
    // A new sound starts: the high-quality engine forgets what it held.
    void Restart() { usingHighQuality_ = false; }

private:
    RubberBandRenderer highQuality_;
    bool usingHighQuality_ = false;
};

}  // namespace sonvira
