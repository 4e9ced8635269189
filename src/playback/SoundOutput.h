#pragma once
// What the play command needs from the sound output: start streaming the renderer's
// blocks for the given state and document (silence first, then the primed block, the
// ring looping, the stream thread refilling it), and stop it again (device stopped,
// stream thread joined, staging buffer released). Called on the window thread only.

#include "AudioDocument.h"
#include "PlaybackState.h"

namespace sonvira {

class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    virtual void Start(PlaybackState& state, const AudioDocument& doc) = 0;
    virtual void Stop() = 0;
};

}  // namespace sonvira
