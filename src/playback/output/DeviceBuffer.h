#pragma once
// The looping device ring: 16384 bytes = 4096 frames of 44100 Hz 16-bit stereo,
// 92.9 ms of sound, played around and around from a play cursor. The stream thread
// (and the window thread before it starts) writes halves of it; the sound card's
// callback reads it at the cursor and moves the cursor on. Every frame is one
// lock-free atomic, so the callback never reads half of a frame that is being
// written and no access is a data race.

#include <array>
#include <atomic>
#include <cstdint>

namespace sonvira {

class DeviceBuffer {
public:
    static constexpr int32_t kBytes = 16384;
    static constexpr int32_t kHalfBytes = kBytes / 2;
    static constexpr int32_t kBytesPerFrame = 4;  // left and right, 16 bits each
    static constexpr int32_t kFrames = kBytes / kBytesPerFrame;

    // Writer side, only between OutputDevice::Lock and Unlock (one writer at a time).
    // Fills the whole ring with silence.
    void Zero() noexcept;
    // Copies `bytes` bytes of interleaved 16-bit stereo from `samples` into the ring at
    // byte `offset`. Both are multiples of 4 and offset + bytes <= kBytes.
    void Write(int32_t offset, const int16_t* samples, int32_t bytes) noexcept;
    // Makes what was written visible to the reader; called by Unlock.
    void Publish() noexcept;

    // Any thread: copies `bytes` bytes from byte `offset` out without moving the
    // cursor (wrapping at the end of the ring). Used by tests.
    void Read(int32_t offset, int16_t* samples, int32_t bytes) const noexcept;

    // Play side. Start: cursor to 0, then playing. Halt: silence from the next Pull on.
    void Start() noexcept;
    void Halt() noexcept;
    bool Playing() const noexcept;
    // Play cursor, a byte offset 0 … 16383 (a multiple of 4). Any thread.
    int32_t Cursor() const noexcept;
    // Frames taken from the ring since the last Start. Any thread.
    int64_t FramesPlayed() const noexcept;
    // Moves the play cursor (a fake device's clock). Offset taken modulo kBytes.
    void Seek(int32_t offset) noexcept;
    // The callback's work: `frames` frames of interleaved stereo into `out`, taken
    // from the ring at the cursor, and the cursor moved on by as many frames modulo
    // the ring; silence and no cursor move while halted. A Start that lands during
    // the call wins over the move. Lock-free, no allocation, never blocks.
    void Pull(int16_t* out, int32_t frames) noexcept;

private:
    std::array<std::atomic<uint32_t>, kFrames> frames_{};
    std::atomic<int32_t> cursor_{0};
    std::atomic<bool> playing_{false};
    std::atomic<int64_t> played_{0};
    std::atomic<uint32_t> generation_{0};  // bumped by Publish; pairs the writes with Pull
};

static_assert(std::atomic<uint32_t>::is_always_lock_free);
static_assert(std::atomic<int32_t>::is_always_lock_free);
static_assert(std::atomic<int64_t>::is_always_lock_free);

}  // namespace sonvira
