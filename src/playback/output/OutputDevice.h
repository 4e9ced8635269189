#pragma once
// The sound output as the playback controller sees it: one looping ring of 16384
// bytes (44100 Hz, 16-bit stereo) with a play cursor. The window thread primes the
// ring and starts and stops it; the stream thread polls the cursor and refills the
// half that has just been played.

#include "DeviceBuffer.h"

#include <cstdint>

namespace sonvira {

class OutputDevice {
public:
    virtual ~OutputDevice() = default;

    // Play cursor: byte offset 0 … 16383 of the next frame the device will take from
    // the ring. Any thread; never blocks.
    virtual int32_t GetCurrentPosition() const = 0;
    // Gives the whole ring for writing until Unlock. Window thread or stream thread;
    // may wait for the other writer, never for the device.
    virtual DeviceBuffer& Lock() = 0;
    // Hands back the ring taken by Lock; what was written becomes audible.
    virtual void Unlock() = 0;
    // Plays the ring as a loop from its start (cursor 0). Window thread.
    virtual void Play() = 0;
    // Stops playing; the cursor stays where it is. Window thread.
    virtual void Stop() = 0;
};

}  // namespace sonvira
