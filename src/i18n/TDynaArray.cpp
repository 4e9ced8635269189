#include "TDynaArray.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <utility>

namespace sonvira {
namespace {

AllocFailureHandler& FailureHandler() {
    static AllocFailureHandler handler;
    return handler;
}

BlockAllocator& Allocator() {
    static BlockAllocator allocator = [](std::size_t bytes) { return std::calloc(1, bytes); };
    return allocator;
}

void ReportAllocFailure(uint64_t bytes) {
    const std::string message = "Error while trying to allocate " + std::to_string(bytes) +
                                " bytes of RAM. Not enough memory.";
    if (FailureHandler())
        FailureHandler()(message);
    else
        std::cerr << message << '\n';
}

}  // namespace

AllocFailureHandler SetAllocFailureHandler(AllocFailureHandler handler) {
    return std::exchange(FailureHandler(), std::move(handler));
}

BlockAllocator SetBlockAllocator(BlockAllocator allocator) {
    return std::exchange(Allocator(), allocator);
}

TDynaArray::TDynaArray(int32_t elementSize) : TDynaArray(elementSize, nullptr, nullptr) {}

TDynaArray::TDynaArray(int32_t elementSize, void* cursorRef, CursorWriter writer)
    : cursorRef_(cursorRef), writeCursor_(writer), elementSize_(elementSize) {}

TDynaArray::~TDynaArray() { std::free(data_); }

unsigned char* TDynaArray::ElementAt(uint32_t i) const {
    return data_ + static_cast<std::size_t>(i) * static_cast<std::size_t>(elementSize_);
}

void TDynaArray::Position(int32_t i) {
    index_ = i;
    current_ = ElementAt(static_cast<uint32_t>(i));
    if (cursorRef_) writeCursor_(cursorRef_, current_);
}

void TDynaArray::Unposition() {
    index_ = -1;
    current_ = nullptr;
    if (cursorRef_) writeCursor_(cursorRef_, nullptr);
}

void* TDynaArray::Get(int32_t i) {
    Position(i);
    return current_;
}

// Capacity is always a whole number of 100-element steps; computed in 64 bits so that a
// size beyond 32 bits is reported as a failed allocation instead of wrapping around.
static uint64_t RequiredBytes(uint32_t count, int32_t elementSize) {
    if (count == 0) return 0;
    return (static_cast<uint64_t>(count - 1) / TDynaArray::GrowBy + 1) * TDynaArray::GrowBy *
           static_cast<uint64_t>(elementSize);
}

// Moves the elements into a fresh zero-filled block of `requiredBytes`; on failure the
// old block stays as it was, the message is shown and false returned.
bool TDynaArray::Reallocate(uint64_t requiredBytes, int attempts) {
    void* block = nullptr;
    if (requiredBytes <= UINT32_MAX)
        for (int attempt = 0; attempt < attempts && !block; ++attempt)
            block = Allocator()(static_cast<std::size_t>(requiredBytes));
    if (!block) {
        ReportAllocFailure(requiredBytes);
        return false;
    }
    if (data_) {
        // A block kept after a failed shrink may be larger than the new one.
        std::memcpy(block, data_, std::min<uint64_t>(allocatedBytes_, requiredBytes));
        std::free(data_);
    }
    data_ = static_cast<unsigned char*>(block);
    allocatedBytes_ = static_cast<uint32_t>(requiredBytes);
    return true;
}

bool TDynaArray::Grow() {
    const uint64_t required = RequiredBytes(count_, elementSize_);
    if (required == allocatedBytes_) return true;
    return Reallocate(required, 1);
}

void TDynaArray::Shrink() {
    const uint64_t required = RequiredBytes(count_, elementSize_);
    if (required == allocatedBytes_) return;
    if (count_ == 0) {
        std::free(data_);
        data_ = nullptr;
        allocatedBytes_ = 0;
        return;
    }
    // Keeping the larger block after a failure loses nothing.
    Reallocate(required, 2);
}

void* TDynaArray::Append() {
    ++count_;
    if (!Grow()) {
        --count_;
        return nullptr;
    }
    return Get(static_cast<int32_t>(count_ - 1));
}

void* TDynaArray::Insert(int32_t i) {
    if (i < 0 || static_cast<uint32_t>(i) > count_) return nullptr;
    ++count_;
    if (!Grow()) {
        --count_;
        return nullptr;
    }
    const auto at = static_cast<uint32_t>(i);
    const std::size_t size = static_cast<std::size_t>(elementSize_);
    std::memmove(ElementAt(at + 1), ElementAt(at), (count_ - 1 - at) * size);
    std::memset(ElementAt(at), 0, size);
    Position(i);
    return current_;
}

void TDynaArray::Delete(int32_t i) {
    if (i < 0 || static_cast<uint32_t>(i) >= count_) return;
    const auto at = static_cast<uint32_t>(i);
    std::memmove(ElementAt(at), ElementAt(at + 1),
                 (count_ - 1 - at) * static_cast<std::size_t>(elementSize_));
    --count_;
    Shrink();
    Unposition();
}

void TDynaArray::Clear() {
    std::free(data_);
    data_ = nullptr;
    count_ = 0;
    allocatedBytes_ = 0;
    Unposition();
}

void TDynaArray::Swap(int32_t a, int32_t b) {
    if (a < 0 || b < 0 || static_cast<uint32_t>(a) >= count_ || static_cast<uint32_t>(b) >= count_)
        return;
    // Exchanging byte by byte needs no temporary element buffer.
    unsigned char* pa = ElementAt(static_cast<uint32_t>(a));
    std::swap_ranges(pa, pa + elementSize_, ElementAt(static_cast<uint32_t>(b)));
    Position(b);
}

void TDynaArray::First() {
    if (count_ == 0) return;
    Position(0);
}

bool TDynaArray::Next() {
    if (count_ == 0 || index_ < 0 || static_cast<uint32_t>(index_) > count_ - 1) return false;
    Position(index_);
    ++index_;
    return true;
}

}  // namespace sonvira
