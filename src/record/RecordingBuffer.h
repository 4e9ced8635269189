#pragma once
// The growing recording: one std::malloc-compatible block that the recorder's worker
// appends captured bytes to and the window finally takes over as its document's sample
// block (freed with std::free).
//
// Growth is geometric through realloc, so the bytes copied over a whole recording stay
// linear in its size. On Linux a large block is an mmap'ed chunk that realloc moves
// with mremap: growing copies nothing, and capacity not yet written holds no memory, so
// the resident memory stays close to the recording itself.
//
// Threads: Append, Take and Clear on one thread at a time (the worker while it runs,
// the window thread otherwise); Size and GrowthFailed from any thread.

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace sonvira {

class RecordingBuffer {
  public:
    // realloc's contract; a seam so that tests can make growth fail.
    using Reallocator = void* (*)(void* block, size_t bytes);

    explicit RecordingBuffer(Reallocator reallocate = DefaultReallocate);
    ~RecordingBuffer();
    RecordingBuffer(const RecordingBuffer&) = delete;
    RecordingBuffer& operator=(const RecordingBuffer&) = delete;

    // Appends `bytes` bytes. False, appending nothing, when the block cannot grow: from
    // then on GrowthFailed is set, every later Append is refused, and what was appended
    // before stays.
    bool Append(const uint8_t* data, int32_t bytes);
    // Bytes appended so far.
    int64_t Size() const noexcept { return size_.load(std::memory_order_acquire); }
    bool GrowthFailed() const noexcept { return growthFailed_.load(std::memory_order_acquire); }

    struct Block {
        uint8_t* data = nullptr;  // std::malloc'ed; null when nothing was appended
        int64_t size = 0;
    };
    // Hands the recording over, shrunk to its size; the caller frees it with std::free.
    // The buffer is empty afterwards (GrowthFailed stays until Clear).
    Block Take();
    // Frees the recording and clears GrowthFailed.
    void Clear();

  private:
    static void* DefaultReallocate(void* block, size_t bytes);
    bool Reserve(size_t bytes);

    Reallocator reallocate_;
    uint8_t* data_ = nullptr;
    size_t capacity_ = 0;
    std::atomic<int64_t> size_{0};
    std::atomic<bool> growthFailed_{false};
};

}  // namespace sonvira
