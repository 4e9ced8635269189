#pragma once
// The two ends of a playback as the play command runs them: priming the ring and
// starting the stream, and stopping the device and the stream thread.

#include "AudioDocument.h"
#include "OutputDevice.h"
#include "PlaybackState.h"
#include "TMyThread.h"

#include <memory>

namespace sonvira {

// Starts the sound of a play command whose range and position are set: allocates
// the staging buffer, fills the whole device ring with silence, renders the first
// block into the first staging half, plays the ring as a loop from its start and
// starts the stream thread with SecondHalfPending false. The first 92.9 ms heard are
// silence, then the primed block. Window thread; the caller clears StopRequested.
// The returned thread borrows device, state, doc and renderer; end it with StopAndJoin.
std::unique_ptr<TMyThread> PrimeAndStart(OutputDevice& device, PlaybackState& state,
                                         const AudioDocument& doc, BlockRenderer& renderer);

// Ends the sound: stops the device, tells the stream thread to terminate, waits for
// it and frees the staging buffer (thread becomes null). Safe when thread is
// already null. Window thread.
void StopAndJoin(OutputDevice& device, std::unique_ptr<TMyThread>& thread);

}  // namespace sonvira
