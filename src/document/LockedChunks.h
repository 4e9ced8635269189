#pragma once
// Runs an in-place effect over a stretch of frames a chunk at a time, holding the
// document's sample lock for each chunk. The renderer takes the same lock for each
// block it reads, so a sound that plays meanwhile hears the effect at once, never
// reads a half-written sample, and waits at most one chunk's work for its block.

#include <algorithm>
#include <cstdint>
#include <mutex>

#include "AudioDocument.h"

namespace sonvira {

// Frames per chunk: a fraction of a millisecond of work, far inside the 46 ms the
// stream thread has for a block.
inline constexpr int64_t kLockedChunkFrames = 16384;

// Calls step(i) for i = first … last in ascending order (nothing when last < first).
// The thread that runs the effect.
template <class Step>
void ForEachLockedChunk(const AudioDocument& doc, int64_t first, int64_t last, Step step) {
    for (int64_t begin = first; begin <= last; begin += kLockedChunkFrames) {
        const int64_t end = std::min(last, begin + kLockedChunkFrames - 1);
        const std::lock_guard<std::mutex> hold(doc.SampleLock);
        for (int64_t i = begin; i <= end; ++i) step(i);
    }
}

}  // namespace sonvira
