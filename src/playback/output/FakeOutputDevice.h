#pragma once
// An output device without a sound card, for tests: the test moves the play cursor
// by hand (SetCursor) or plays frames out of the ring as the real callback would
// (Consume). Ring, writer lock and cursor are the ones the real device uses, so
// a test runs the real locking code; the base class also counts the locks.

#include "RingOutputDevice.h"

namespace sonvira {

class FakeOutputDevice final : public RingOutputDevice {
public:
    // Plays the ring as a loop from its start, at once.
    void Play() override;
    // Silence from the next Consume on; the cursor stays.
    void Stop() override;

    // Puts the play cursor at byte `offset` (modulo 16384, down to a whole frame).
    // Any thread.
    void SetCursor(int32_t offset);
    // Plays `frames` frames into `out` (interleaved stereo) exactly as the PortAudio
    // callback does: ring content at the cursor, cursor moved on; silence when
    // stopped. Any one thread at a time.
    void Consume(int16_t* out, int32_t frames);

    bool IsPlaying() const;
};

}  // namespace sonvira
