#pragma once
// An output device without a sound card, for tests: the test moves the play cursor
// by hand (SetCursor) or plays frames out of the ring as the real callback would
// (Consume), and can count the locks and look at the ring.

#include "OutputDevice.h"

#include <atomic>
#include <mutex>

namespace sonvira {

class FakeOutputDevice final : public OutputDevice {
public:
    int32_t GetCurrentPosition() const override;
    DeviceBuffer& Lock() override;
    void Unlock() override;
    void Play() override;
    void Stop() override;

    // Puts the play cursor at byte `offset` (modulo 16384, down to a whole frame).
    // Any thread.
    void SetCursor(int32_t offset);
    // Plays `frames` frames into `out` (interleaved stereo) exactly as the PortAudio
    // callback does: ring content at the cursor, cursor moved on; silence when
    // stopped. Any one thread at a time.
    void Consume(int16_t* out, int32_t frames);

    bool IsPlaying() const;
    int LockCount() const;  // Lock calls so far
    const DeviceBuffer& Buffer() const { return buffer_; }

private:
    DeviceBuffer buffer_;
    std::mutex writer_;
    std::atomic<int> locks_{0};
};

}  // namespace sonvira
