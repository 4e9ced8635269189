#pragma once
// The playback stream thread: keeps the output device's ring fed while a sound
// plays. It polls the play cursor and, whenever a half of the ring has just been
// played, renders the next block (BlockRenderer) into the staging buffer and copies it
// into that half; the first time it copies the block the window primed instead. A
// block is thus heard half a ring (46.4 ms) after it was rendered, so a change of speed
// or pitch is heard that much sooner than if blocks waited a whole ring. Rendering has
// the same 46.4 ms either way: the half it fills is not played again before then.

#include "AudioDocument.h"
#include "BlockRenderer.h"
#include "OutputDevice.h"
#include "PlaybackState.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>

namespace sonvira {

class TMyThread {
public:
    static constexpr int32_t kStagingBytes = DeviceBuffer::kBytes;
    // Between two polls of the cursor: far inside the 46.4 ms a half lasts, and cheap
    // (a poll is one atomic read).
    static constexpr std::chrono::microseconds kPollInterval{5000};

    // Allocates the zeroed staging buffer (two halves of 8192 bytes; the stream renders
    // into the first) with SecondHalfPending false; does not start the thread. Window
    // thread. The device, state, document and renderer are borrowed and must outlive
    // the thread.
    TMyThread(OutputDevice& device, PlaybackState& state, const AudioDocument& doc, BlockRenderer& renderer,
              std::chrono::microseconds pollInterval = kPollInterval);
    // Terminates and joins the thread if it still runs, then frees the staging buffer.
    ~TMyThread();
    TMyThread(const TMyThread&) = delete;
    TMyThread& operator=(const TMyThread&) = delete;

    // The staging buffer, 16384 bytes of interleaved 16-bit stereo. The window thread
    // primes its first half before Start; after Start it belongs to the thread.
    int16_t* StagingBuffer() noexcept { return staging_.get(); }
    // Which half the next refill copies: false the first (while the device plays the
    // second), true the second. Read it only while the thread is not running.
    bool SecondHalfPending() const noexcept { return secondHalfPending_; }

    // Starts the thread, which repeats BufferSpielen with a poll interval's sleep
    // between steps until terminated. Window thread, once.
    void Start();
    // Asks the thread to end after its current step. Any thread; never blocks.
    void Terminate() noexcept;
    // Waits until the thread has ended (returns at once if it never started).
    // Window thread.
    void WaitFor();

    // One stream step: one cursor read; a cursor past 8192 with the first half due
    // refills the first half, a cursor below 4096 with the second half due refills
    // the second half (with the primed block the first time, a block rendered then
    // afterwards). On the stream thread, or on a test's thread instead of Start.
    void BufferSpielen();

private:
    void Execute();
    void Refill(int32_t deviceOffset);

    OutputDevice& device_;
    PlaybackState& state_;
    const AudioDocument& doc_;
    BlockRenderer& renderer_;
    const std::chrono::microseconds pollInterval_;
    std::unique_ptr<int16_t[]> staging_;
    bool secondHalfPending_ = false;
    bool primedBlockWaiting_ = true;  // the window's block goes in before any is rendered
    std::atomic<bool> terminated_{false};
    std::thread thread_;
};

}  // namespace sonvira
