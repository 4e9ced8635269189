#pragma once
// An array of fixed-size plain records in one contiguous, zero-filled block that grows
// and shrinks in steps of 100 elements. The array writes the address of the element it
// last positioned on into a pointer variable that belongs to the caller (the cursor
// variable), so the caller reads and fills records through its own typed pointer and
// the array never needs to know the record's type. Several arrays may share one cursor
// variable; it then names the element of whichever array moved last.
//
// Elements are moved by byte copies only: they must be trivially copyable. The array
// never owns what its elements point to. Element addresses (and the cursor) stay valid
// only until the next Append, Insert, Delete or Clear on the same array.
//
// Thread: one thread at a time (the user-interface thread); nothing is locked.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace sonvira {

// Shown when a block cannot be obtained, with the English text
// "Error while trying to allocate <n> bytes of RAM. Not enough memory."
// The main window installs a handler that shows its error box; without
// a handler the text goes to standard error. Returns the handler installed before.
using AllocFailureHandler = std::function<void(const std::string& message)>;
AllocFailureHandler SetAllocFailureHandler(AllocFailureHandler handler);

// The source of zero-filled blocks (std::calloc by default); tests install a failing
// one to reach the failure paths. Returns the allocator installed before.
using BlockAllocator = void* (*)(std::size_t bytes);
BlockAllocator SetBlockAllocator(BlockAllocator allocator);

class TDynaArray {
public:
    static constexpr uint32_t GrowBy = 100;

    // `elementSize` > 0 bytes. The cursor variable, when given, is written by every
    // operation that positions the array; construction does not write it.
    explicit TDynaArray(int32_t elementSize);
    template <class T>
    TDynaArray(int32_t elementSize, T** cursor)
        : TDynaArray(elementSize, cursor, &WriteTypedCursor<T>) {}
    ~TDynaArray();
    TDynaArray(const TDynaArray&) = delete;
    TDynaArray& operator=(const TDynaArray&) = delete;

    // Element i; no range check, the caller passes 0 <= i < Count(). Positions on it.
    void* Get(int32_t i);
    // Adds an element at the end and positions on it. Its bytes are zero only when the
    // block was just obtained or grown: the caller fills every field. Null (after the
    // allocation message, nothing changed) when the block cannot be obtained.
    void* Append();
    // Inserts a zeroed element at i (0 <= i <= Count()) and positions on it; null and
    // no change for any other i or when the block cannot be obtained.
    void* Insert(int32_t i);
    // Removes element i (ignored outside 0 … Count()-1); afterwards nothing is current.
    void Delete(int32_t i);
    // Removes every element and releases the block; the cursor becomes null.
    void Clear();
    // Exchanges elements a and b (ignored unless both are in range) and positions on b.
    void Swap(int32_t a, int32_t b);
    // Iteration: First(), then Next() while it returns true, reading the cursor after
    // each true result. Next delivers the element at Index() and then advances.
    void First();
    bool Next();

    uint32_t Count() const { return count_; }
    int32_t Index() const { return index_; }
    uint32_t AllocatedBytes() const { return allocatedBytes_; }
    int32_t ElementSize() const { return elementSize_; }
    void* Current() const { return current_; }
    const void* Data() const { return data_; }

private:
    using CursorWriter = void (*)(void* cursorRef, void* element);
    template <class T>
    static void WriteTypedCursor(void* cursorRef, void* element) {
        *static_cast<T**>(cursorRef) = static_cast<T*>(element);
    }
    TDynaArray(int32_t elementSize, void* cursorRef, CursorWriter writer);

    unsigned char* ElementAt(uint32_t i) const;
    void Position(int32_t i);
    void Unposition();
    bool Grow();
    void Shrink();
    bool Reallocate(uint64_t requiredBytes, int attempts);

    void* cursorRef_ = nullptr;
    CursorWriter writeCursor_ = nullptr;
    void* current_ = nullptr;
    unsigned char* data_ = nullptr;
    uint32_t count_ = 0;
    int32_t index_ = -1;
    uint32_t allocatedBytes_ = 0;
    int32_t elementSize_ = 0;
};

}  // namespace sonvira
