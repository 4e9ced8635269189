#pragma once
// Whole capture blocks from the input's audio callback to the recorder's worker: a
// single-producer, single-consumer ring of 16384-byte blocks (4096 frames of 44100 Hz
// 16-bit stereo). The producer copies frames of any count into the block it fills and
// publishes the block once it is full; a partly filled block is never seen by the
// worker, so a recording always consists of whole blocks, in the order captured.
//
// Threads: Write on the producer (the audio callback) only: it copies and moves
// atomics, posts a semaphore, and never locks, allocates or waits. WaitForBlock, Front,
// Pop and Available on the consumer (the worker) only. Reset on the window thread while
// no producer and no consumer runs. Dropped from any thread.

#include <semaphore.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>

namespace sonvira {

class CaptureRing {
  public:
    static constexpr int32_t kBlockBytes = 16384;
    static constexpr int32_t kBytesPerFrame = 4;
    static constexpr int32_t kBlockFrames = kBlockBytes / kBytesPerFrame;
    // Published blocks the worker may lag behind: 32 blocks, about 3 s of sound.
    static constexpr int32_t kCapacityBlocks = 32;

    // Allocates all its storage once.
    CaptureRing();
    ~CaptureRing();
    CaptureRing(const CaptureRing&) = delete;
    CaptureRing& operator=(const CaptureRing&) = delete;

    // Producer: appends `frames` interleaved stereo frames. Each block that becomes full
    // is published and the worker woken; when kCapacityBlocks blocks wait already, the
    // full block is dropped instead and counted.
    void Write(const int16_t* interleaved, int32_t frames) noexcept;

    // Consumer: true as soon as a published block waits, false when none arrived within
    // `timeout` (0 only looks).
    bool WaitForBlock(std::chrono::milliseconds timeout) noexcept;
    // Consumer: published blocks waiting now.
    int32_t Available() const noexcept;
    // Consumer: the oldest published block, kBlockBytes bytes; valid until Pop. Only
    // when Available() > 0.
    const uint8_t* Front() const noexcept;
    // Consumer: releases the oldest published block to the producer.
    void Pop() noexcept;

    // Full blocks dropped because the worker lagged kCapacityBlocks behind.
    int64_t Dropped() const noexcept { return dropped_.load(std::memory_order_relaxed); }
    // Producer: the input itself lost frames before they reached the ring (its own buffer
    // overflowed). Only sets a flag.
    void NoteInputOverflow() noexcept { inputOverflowed_.store(true, std::memory_order_relaxed); }
    // Whether the input reported such a loss since the last Reset. Any thread.
    bool InputOverflowed() const noexcept { return inputOverflowed_.load(std::memory_order_relaxed); }

    // Empties the ring, the block being filled, the drop count and the overflow flag. Window thread, while
    // neither producer nor consumer runs (before the input starts and the worker waits).
    void Reset() noexcept;

  private:
    // One slot more than the capacity: the producer always owns the slot it fills,
    // apart from the published ones the worker may be reading.
    static constexpr int32_t kSlots = kCapacityBlocks + 1;

    uint8_t* Slot(uint64_t block) const noexcept;
    void Publish() noexcept;

    std::unique_ptr<uint8_t[]> storage_;
    sem_t published_;                            // one post per published block: wakes the worker
    alignas(64) std::atomic<uint64_t> head_{0};  // blocks published (producer writes)
    int32_t filled_ = 0;                         // bytes in the block being filled (producer only)
    alignas(64) std::atomic<uint64_t> tail_{0};  // blocks popped (consumer writes)
    alignas(64) std::atomic<int64_t> dropped_{0};
    std::atomic<bool> inputOverflowed_{false};
};

}  // namespace sonvira
