#pragma once
// Test sound whose every frame carries its own number (low 16 bits left, high 16 bits
// right), so that a recording shows which frames it holds and in what order.

#include <cstdint>
#include <cstring>
#include <vector>

namespace sonvira::test {

inline std::vector<int16_t> NumberedFrames(uint32_t first, int32_t count) {
    std::vector<int16_t> frames(2 * static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        const uint32_t n = first + static_cast<uint32_t>(i);
        frames[2 * size_t(i)] = static_cast<int16_t>(n & 0xFFFF);
        frames[2 * size_t(i) + 1] = static_cast<int16_t>(n >> 16);
    }
    return frames;
}

// The number of the frame at `frame` in a recording of numbered frames.
inline uint32_t FrameNumber(const uint8_t* recording, int64_t frame) {
    uint16_t half[2];
    std::memcpy(half, recording + 4 * frame, 4);
    return uint32_t{half[0]} | (uint32_t{half[1]} << 16);
}

}  // namespace sonvira::test
