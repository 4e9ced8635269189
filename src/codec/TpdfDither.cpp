#include "TpdfDither.h"

#include <bit>
#include <cmath>

namespace sonvira {

// One step of xorshift64* gives 64 good bits. Two 23-bit parts of them become the mantissas
// of two floats in [1, 2) (uniform, no integer conversion needed); their difference is
// triangular over ±1 LSB.
float TpdfDither::Triangular() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    const uint64_t r = state_ * 0x2545F4914F6CDD1Dull;
    const auto a = std::bit_cast<float>(0x3F800000u | static_cast<uint32_t>(r >> 41));
    const auto b = std::bit_cast<float>(0x3F800000u | (static_cast<uint32_t>(r) & 0x7FFFFFu));
    return a - b;
}

void TpdfDither::Reduce(const float* in, size_t count, int16_t* out) {
    for (size_t i = 0; i < count; ++i) {
        float v = in[i] * 32768.0f + Triangular();
        // A float file may hold NaN; it becomes silence, infinities clip.
        if (std::isnan(v)) v = 0.0f;
        v = v < -32768.0f ? -32768.0f : (v > 32767.0f ? 32767.0f : v);
        out[i] = static_cast<int16_t>(v >= 0.0f ? v + 0.5f : v - 0.5f);  // to nearest
    }
}

}  // namespace sonvira
