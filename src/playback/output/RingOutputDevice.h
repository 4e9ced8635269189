#pragma once
// What every output device over the looping ring shares: the ring itself, the one
// writer lock that the window thread and the stream thread take turns on, and the
// play cursor read from the ring. A device adds only what moves the cursor (a sound
// card's callback, or a test's hand) and how Play and Stop reach it.

#include "OutputDevice.h"

#include <atomic>
#include <cstdint>
#include <mutex>

namespace sonvira {

class RingOutputDevice : public OutputDevice {
public:
    int32_t GetCurrentPosition() const final;
    // Takes the writer lock; waits only for the other writer, never for the device.
    DeviceBuffer& Lock() final;
    // Publishes what was written to the reader side, then lets the other writer in.
    void Unlock() final;

    // The ring, for reading (tests look at what a refill wrote). Any thread.
    const DeviceBuffer& Buffer() const noexcept { return buffer_; }
    // Frames taken from the ring since the last Play. Any thread.
    int64_t FramesPlayed() const noexcept { return buffer_.FramesPlayed(); }
    // Lock calls so far. Any thread.
    int LockCount() const noexcept { return locks_.load(std::memory_order_relaxed); }

protected:
    // The reader side of the ring: a device's Play and Stop start and halt it, and
    // what stands for the sound card pulls frames out of it.
    DeviceBuffer& Ring() noexcept { return buffer_; }

private:
    DeviceBuffer buffer_;
    std::mutex writer_;
    std::atomic<int> locks_{0};
};

}  // namespace sonvira
