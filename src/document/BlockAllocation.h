#pragma once
// Allocation of a new PCM block for the commands that replace the document's block.

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "SampleBlock.h"

namespace sonvira {

// A zero-filled block of `size` bytes (0 … INT32_MAX), owned by the caller. An empty
// block still gets one byte so that null always means "out of memory".
inline SampleBlock AllocateBlock(int64_t size) {
    const auto bytes = static_cast<size_t>(std::max<int64_t>(size, 1));
    return SampleBlock(static_cast<uint8_t*>(std::calloc(bytes, 1)));
}

}  // namespace sonvira
