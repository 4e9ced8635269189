#pragma once
// Background music only: the difference of the two channels, which cancels what both share
// (the voice, usually mixed to the middle).

#include <cstdint>
#include <span>

namespace sonvira {

// For each stereo frame of 16-bit little-endian samples L, R in `block`: both samples become
// 2 × (L − R) / 3, truncated toward zero, kept to its low 16 bits. A trailing part frame
// stays as it is.
void KaraokeStep(std::span<uint8_t> block);

}  // namespace sonvira
