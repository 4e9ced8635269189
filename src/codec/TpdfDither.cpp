#include "TpdfDither.h"

#include <cmath>

namespace sonvira {

float TpdfDither::Uniform() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<float>(state_) * (1.0f / 4294967296.0f) - 0.5f;
}

void TpdfDither::Reduce(const float* in, size_t count, int16_t* out) {
    for (size_t i = 0; i < count; ++i) {
        const float noise = Uniform() + Uniform();
        // A float file may hold NaN; it becomes silence, infinities clip.
        const float sample = std::isnan(in[i]) ? 0.0f : in[i];
        float v = std::floor(sample * 32768.0f + noise + 0.5f);
        v = v < -32768.0f ? -32768.0f : (v > 32767.0f ? 32767.0f : v);
        out[i] = static_cast<int16_t>(v);
    }
}

}  // namespace sonvira
