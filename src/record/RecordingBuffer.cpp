#include "RecordingBuffer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace sonvira {
namespace {

// The first allocation: 64 blocks of capture, about 6 s of sound.
constexpr size_t kInitialCapacity = size_t{1} << 20;

}  // namespace

void* RecordingBuffer::DefaultReallocate(void* block, size_t bytes) {
    return std::realloc(block, bytes);
}

RecordingBuffer::RecordingBuffer(Reallocator reallocate) : reallocate_(reallocate) {}

RecordingBuffer::~RecordingBuffer() { std::free(data_); }

bool RecordingBuffer::Append(const uint8_t* data, int32_t bytes) {
    if (growthFailed_.load(std::memory_order_relaxed)) return false;
    const auto size = static_cast<size_t>(size_.load(std::memory_order_relaxed));
    const size_t needed = size + static_cast<size_t>(bytes);
    if (needed > capacity_ && !Reserve(needed)) {
        growthFailed_.store(true, std::memory_order_release);
        return false;
    }
    std::memcpy(data_ + size, data, static_cast<size_t>(bytes));
    size_.store(static_cast<int64_t>(needed), std::memory_order_release);
    return true;
}

bool RecordingBuffer::Reserve(size_t bytes) {
    // Doubling keeps the copying linear; when memory runs short, the exact size may
    // still fit where the doubled one does not.
    for (const size_t capacity : {std::max({bytes, 2 * capacity_, kInitialCapacity}), bytes}) {
        if (void* grown = reallocate_(data_, capacity)) {
            data_ = static_cast<uint8_t*>(grown);
            capacity_ = capacity;
            return true;
        }
    }
    return false;  // realloc left the block as it was
}

RecordingBuffer::Block RecordingBuffer::Take() {
    Block taken{data_, Size()};
    if (taken.size == 0) {
        std::free(data_);
        taken.data = nullptr;
    } else if (void* shrunk = reallocate_(data_, static_cast<size_t>(taken.size))) {
        taken.data = static_cast<uint8_t*>(shrunk);
    }  // a failed shrink leaves the larger block, still valid
    data_ = nullptr;
    capacity_ = 0;
    size_.store(0, std::memory_order_release);
    return taken;
}

void RecordingBuffer::Clear() {
    std::free(data_);
    data_ = nullptr;
    capacity_ = 0;
    size_.store(0, std::memory_order_release);
    growthFailed_.store(false, std::memory_order_release);
}

}  // namespace sonvira
