#pragma once
// A document whose rendered blocks can be told apart: 16-bit mono at 44100 Hz, made
// of 2048-frame blocks, block k a steady level (k + 1) × kLevelStep. At speed and
// pitch 1 the renderer turns source block k into output block k unchanged (a steady
// level passes the pitch shifter), so the level of a stretch of output names the
// block it came from.

#include "AudioDocument.h"
#include "DeviceBuffer.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace sonvira::test {

inline constexpr int32_t kBlockFrames = 2048;
inline constexpr int kLevelStep = 500;

inline void LoadBlockLevels(AudioDocument& doc, int blocks) {
    const int32_t frames = blocks * kBlockFrames;
    auto* block = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(frames) * 2));
    auto* samples = reinterpret_cast<int16_t*>(block);
    for (int32_t f = 0; f < frames; ++f) {
        samples[f] = static_cast<int16_t>((f / kBlockFrames + 1) * kLevelStep);
    }
    doc.InstallBlock(block, frames * 2, 44100, false, true);
}

// The block number + 1 that a frame's left sample carries; 0 for silence.
inline int LevelOf(int16_t sample) {
    return static_cast<int>(std::lround(sample / static_cast<double>(kLevelStep)));
}

// The level of a whole stretch of stereo frames, or -1 when it is not one level.
inline int SteadyLevel(const int16_t* frames, int32_t count) {
    const int level = LevelOf(frames[0]);
    for (int32_t i = 0; i < count; ++i) {
        if (LevelOf(frames[2 * i]) != level || LevelOf(frames[2 * i + 1]) != level) return -1;
    }
    return level;
}

// The level held by half 0 or 1 of the ring (see SteadyLevel).
inline int HalfLevel(const DeviceBuffer& ring, int half) {
    std::vector<int16_t> frames(DeviceBuffer::kHalfBytes / 2);
    ring.Read(half * DeviceBuffer::kHalfBytes, frames.data(), DeviceBuffer::kHalfBytes);
    return SteadyLevel(frames.data(), kBlockFrames);
}

}  // namespace sonvira::test
