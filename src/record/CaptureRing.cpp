#include "CaptureRing.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

namespace sonvira {
namespace {

timespec MonotonicDeadline(std::chrono::milliseconds timeout) {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const auto ns = std::chrono::nanoseconds(now.tv_nsec) + timeout;
    const auto s = std::chrono::duration_cast<std::chrono::seconds>(ns);
    timespec deadline{};
    deadline.tv_sec = now.tv_sec + static_cast<time_t>(s.count());
    deadline.tv_nsec = static_cast<long>((ns - s).count());
    return deadline;
}

}  // namespace

CaptureRing::CaptureRing() : storage_(new uint8_t[static_cast<size_t>(kSlots) * kBlockBytes]) {
    sem_init(&published_, 0, 0);
}

CaptureRing::~CaptureRing() { sem_destroy(&published_); }

uint8_t* CaptureRing::Slot(uint64_t block) const noexcept {
    return storage_.get() + (block % kSlots) * kBlockBytes;
}

void CaptureRing::Write(const int16_t* interleaved, int32_t frames) noexcept {
    const auto* bytes = reinterpret_cast<const uint8_t*>(interleaved);
    int64_t left = int64_t{frames} * kBytesPerFrame;
    const uint64_t head = head_.load(std::memory_order_relaxed);
    uint8_t* slot = Slot(head);
    while (left > 0) {
        const auto n = static_cast<int32_t>(std::min<int64_t>(left, kBlockBytes - filled_));
        std::memcpy(slot + filled_, bytes, static_cast<size_t>(n));
        bytes += n;
        left -= n;
        filled_ += n;
        if (filled_ == kBlockBytes) {
            Publish();
            slot = Slot(head_.load(std::memory_order_relaxed));
        }
    }
}

void CaptureRing::Publish() noexcept {
    filled_ = 0;
    const uint64_t head = head_.load(std::memory_order_relaxed);
    // Acquire: the worker has finished reading every block it popped, so the slot the
    // producer fills next is free.
    if (head - tail_.load(std::memory_order_acquire) >= kCapacityBlocks) {
        // The worker lags too far behind: the block is lost and the slot refilled.
        dropped_.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    head_.store(head + 1, std::memory_order_release);
    sem_post(&published_);  // lock-free and async-signal-safe
}

bool CaptureRing::WaitForBlock(std::chrono::milliseconds timeout) noexcept {
    // The semaphore only wakes the worker; head and tail say what waits. A post left
    // over from a block taken without waiting costs one extra turn of the loop.
    const timespec deadline = MonotonicDeadline(timeout);
    while (Available() == 0) {
        if (sem_clockwait(&published_, CLOCK_MONOTONIC, &deadline) != 0 && errno != EINTR) {
            return Available() > 0;  // timed out
        }
    }
    return true;
}

int32_t CaptureRing::Available() const noexcept {
    return static_cast<int32_t>(head_.load(std::memory_order_acquire) -
                                tail_.load(std::memory_order_relaxed));
}

const uint8_t* CaptureRing::Front() const noexcept {
    return Slot(tail_.load(std::memory_order_relaxed));
}

void CaptureRing::Pop() noexcept {
    // Release: the block has been read before the producer may reuse its slot.
    tail_.store(tail_.load(std::memory_order_relaxed) + 1, std::memory_order_release);
}

void CaptureRing::Reset() noexcept {
    inputOverflowed_.store(false, std::memory_order_relaxed);
    while (sem_trywait(&published_) == 0) {
    }
    head_.store(0, std::memory_order_relaxed);
    tail_.store(0, std::memory_order_relaxed);
    dropped_.store(0, std::memory_order_relaxed);
    filled_ = 0;
}

}  // namespace sonvira
