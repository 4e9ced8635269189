#pragma once
// The sound input as the recorder sees it: the system's default input at 44100 Hz,
// 16-bit stereo, delivering what it captures into a CaptureRing, which hands whole
// blocks of 16384 bytes (4096 frames, about 93 ms) to the recorder's worker in order.

#include "CaptureRing.h"

namespace sonvira {

class CaptureDevice {
public:
    virtual ~CaptureDevice() = default;
    // Opens the input and starts capturing into `ring` (borrowed until Stop). False when
    // no input can be opened or it refuses the format: nothing is captured then.
    // Window thread.
    virtual bool Start(CaptureRing& ring) = 0;
    // Stops capturing and closes the input; no frame reaches the ring after it returns.
    // Safe when not started. Window thread.
    virtual void Stop() = 0;
};

}  // namespace sonvira
