// Triangular dither on the way to 16 bits: unbiased on average, at most ±1 LSB of noise
// on top of rounding, clipped at full scale, and the same on every run.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "TpdfDither.h"

namespace sonvira {
namespace {

std::vector<int16_t> Reduce(const std::vector<float>& in, TpdfDither dither = TpdfDither()) {
    std::vector<int16_t> out(in.size());
    dither.Reduce(in.data(), in.size(), out.data());
    return out;
}

TEST(TpdfDither, AConstantBetweenStepsAveragesToItsValue) {
    for (const double lsb : {0.0, 0.25, 0.5, -3.75, 1000.4}) {
        const std::vector<float> in(100000, static_cast<float>(lsb / 32768.0));
        const auto out = Reduce(in);
        double sum = 0;
        for (const int16_t v : out) {
            ASSERT_LE(std::abs(v - lsb), 1.5) << lsb;  // rounding plus triangular noise of ±1
            sum += v;
        }
        EXPECT_NEAR(sum / static_cast<double>(out.size()), lsb, 0.02) << lsb;
    }
}

TEST(TpdfDither, TheNoiseIsTriangularAroundZero) {
    // Silence becomes −1, 0 or +1 in the proportions 1/8, 3/4, 1/8 of a ±1 LSB triangle.
    const auto out = Reduce(std::vector<float>(200000, 0.0f));
    int counts[3] = {};
    for (const int16_t v : out) {
        ASSERT_LE(std::abs(v), 1);
        ++counts[v + 1];
    }
    EXPECT_NEAR(counts[0] / 200000.0, 0.125, 0.01);
    EXPECT_NEAR(counts[1] / 200000.0, 0.75, 0.01);
    EXPECT_NEAR(counts[2] / 200000.0, 0.125, 0.01);
}

TEST(TpdfDither, ClipsAtFullScaleAndSilencesNaN) {
    const float inf = std::numeric_limits<float>::infinity();
    const auto out = Reduce({1.0f, 2.0f, inf, -1.0f, -2.0f, -inf, std::nanf("")});
    EXPECT_EQ(out[0], 32767);
    EXPECT_EQ(out[1], 32767);
    EXPECT_EQ(out[2], 32767);
    EXPECT_GE(out[3], -32768);
    EXPECT_LE(out[3], -32767);
    EXPECT_EQ(out[4], -32768);
    EXPECT_EQ(out[5], -32768);
    EXPECT_LE(std::abs(out[6]), 1);
}

TEST(TpdfDither, TheSameInputGivesTheSameOutputEveryTime) {
    std::vector<float> in(5000);
    for (size_t i = 0; i < in.size(); ++i) in[i] = 0.3f * std::sin(0.01f * static_cast<float>(i));
    EXPECT_EQ(Reduce(in), Reduce(in));
    EXPECT_NE(Reduce(in), Reduce(in, TpdfDither(12345))) << "the seed decides the noise";
}

}  // namespace
}  // namespace sonvira
