#include "DeviceBuffer.h"

namespace sonvira {
namespace {

uint32_t Pack(int16_t left, int16_t right) {
    return static_cast<uint32_t>(static_cast<uint16_t>(left)) |
           (static_cast<uint32_t>(static_cast<uint16_t>(right)) << 16);
}

void Unpack(uint32_t frame, int16_t* out) {
    out[0] = static_cast<int16_t>(static_cast<uint16_t>(frame & 0xFFFFu));
    out[1] = static_cast<int16_t>(static_cast<uint16_t>(frame >> 16));
}

int32_t FrameOf(int32_t byteOffset) {
    return (byteOffset / DeviceBuffer::kBytesPerFrame) % DeviceBuffer::kFrames;
}

}  // namespace

void DeviceBuffer::Zero() noexcept {
    for (auto& frame : frames_) frame.store(0, std::memory_order_relaxed);
}

void DeviceBuffer::Write(int32_t offset, const int16_t* samples, int32_t bytes) noexcept {
    const int32_t first = FrameOf(offset);
    for (int32_t i = 0; i < bytes / kBytesPerFrame; ++i) {
        frames_[static_cast<size_t>(first + i)].store(Pack(samples[2 * i], samples[2 * i + 1]),
                                                      std::memory_order_relaxed);
    }
}

void DeviceBuffer::Publish() noexcept { generation_.fetch_add(1, std::memory_order_release); }

void DeviceBuffer::Read(int32_t offset, int16_t* samples, int32_t bytes) const noexcept {
    (void)generation_.load(std::memory_order_acquire);
    const int32_t first = FrameOf(offset);
    for (int32_t i = 0; i < bytes / kBytesPerFrame; ++i) {
        Unpack(frames_[static_cast<size_t>((first + i) % kFrames)].load(std::memory_order_relaxed),
               samples + 2 * i);
    }
}

void DeviceBuffer::Start() noexcept {
    played_.store(0, std::memory_order_relaxed);
    cursor_.store(0, std::memory_order_release);
    playing_.store(true, std::memory_order_release);
}

void DeviceBuffer::Halt() noexcept { playing_.store(false, std::memory_order_release); }

bool DeviceBuffer::Playing() const noexcept { return playing_.load(std::memory_order_acquire); }

int32_t DeviceBuffer::Cursor() const noexcept { return cursor_.load(std::memory_order_acquire); }

int64_t DeviceBuffer::FramesPlayed() const noexcept {
    return played_.load(std::memory_order_relaxed);
}

void DeviceBuffer::Seek(int32_t offset) noexcept {
    cursor_.store(((offset % kBytes) + kBytes) % kBytes / kBytesPerFrame * kBytesPerFrame,
                  std::memory_order_release);
}

void DeviceBuffer::Pull(int16_t* out, int32_t frames) noexcept {
    if (!playing_.load(std::memory_order_acquire)) {
        for (int32_t i = 0; i < 2 * frames; ++i) out[i] = 0;
        return;
    }
    int32_t start = cursor_.load(std::memory_order_acquire);
    Read(start, out, frames * kBytesPerFrame);
    const int32_t next = static_cast<int32_t>(
        (static_cast<int64_t>(start) + static_cast<int64_t>(frames) * kBytesPerFrame) % kBytes);
    // Only this call moves the cursor forward; if Start reset it meanwhile, keep the reset.
    cursor_.compare_exchange_strong(start, next, std::memory_order_acq_rel);
    played_.fetch_add(frames, std::memory_order_relaxed);
}

}  // namespace sonvira
