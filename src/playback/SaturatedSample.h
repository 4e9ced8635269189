#pragma once
// The standard engine's store of a computed sample: truncated toward zero, as it always
// was, and held to the sample's range. A peak the pitch shifter lifts past full scale
// would otherwise wrap round to the opposite extreme, a crack at every such peak.
// Values within the range are stored exactly as before.

#include <cmath>
#include <cstdint>

namespace sonvira {

inline int16_t SaturatedSample16(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 32767.0) return 32767;
    if (value <= -32768.0) return -32768;
    return static_cast<int16_t>(static_cast<int32_t>(value));
}

// 8-bit samples with 127 as their zero point, `value` on the 16-bit scale.
inline uint8_t SaturatedSample8(double value) {
    if (std::isnan(value)) return 127;
    const double stored = value / 256 + 127;
    if (stored >= 255.0) return 255;
    if (stored <= 0.0) return 0;
    return static_cast<uint8_t>(static_cast<int32_t>(stored));
}

}  // namespace sonvira
