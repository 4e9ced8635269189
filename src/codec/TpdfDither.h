#pragma once
// Reduction of floating-point samples to 16 bits with triangular (TPDF) dither: the sum of
// two independent uniform values of ±0.5 LSB is added before rounding, so the rounding error
// becomes noise independent of the signal instead of distortion that follows it.
// The random numbers come from a fixed-seed generator: the same input gives the same output
// on every run.

#include <cstddef>
#include <cstdint>

namespace sonvira {

class TpdfDither {
public:
    static constexpr uint64_t kSeed = 0x9E3779B97F4A7C15ull;
    explicit TpdfDither(uint64_t seed = kSeed) : state_(seed != 0 ? seed : kSeed) {}

    // Converts `count` samples of full scale ±1.0 to 16-bit values (×32768), clipped to
    // −32768 … 32767. One generator for all channels, so interleaved input is fine.
    // Not thread-safe: one object per stream.
    void Reduce(const float* in, size_t count, int16_t* out);

private:
    float Triangular();  // −1 … 1 LSB
    uint64_t state_;     // xorshift64*, never 0
};

}  // namespace sonvira
