#include <gtest/gtest.h>

#include "FFT.h"
#include "PairedFft.h"

#include <array>
#include <bit>
#include <cmath>
#include <complex>
#include <cstring>
#include <numbers>
#include <random>
#include <vector>

namespace sonvira {
namespace {

struct FourPointCase {
    const char* name;
    std::array<double, 4> in;
    std::array<double, 4> re, im;
};

TEST(FFT, FourPointForwardCases) {
    const FourPointCase cases[] = {
        {"dirac at 0", {1, 0, 0, 0}, {0.25, 0.25, 0.25, 0.25}, {0, 0, 0, 0}},
        {"dirac at 1", {0, 1, 0, 0}, {0.25, 0, -0.25, 0}, {0, -0.25, 0, 0.25}},
        {"ramp", {1, 2, 3, 4}, {2.5, -0.5, -0.5, -0.5}, {0, 0.5, 0, -0.5}},
    };
    for (const auto& c : cases) {
        std::array<double, 4> x = c.in;
        std::array<double, 4> y{};
        EXPECT_TRUE(FFT(1, 2, x.data(), y.data()));
        for (int k = 0; k < 4; ++k) {
            EXPECT_DOUBLE_EQ(x[k], c.re[k]) << c.name << " bin " << k;
            EXPECT_DOUBLE_EQ(y[k], c.im[k]) << c.name << " bin " << k;
        }
    }
}

TEST(FFT, InverseOfRampSpectrumGivesRampBack) {
    std::array<double, 4> x{2.5, -0.5, -0.5, -0.5};
    std::array<double, 4> y{0, 0.5, 0, -0.5};
    FFT(-1, 2, x.data(), y.data());
    for (int t = 0; t < 4; ++t) {
        EXPECT_DOUBLE_EQ(x[t], t + 1.0);
        EXPECT_DOUBLE_EQ(y[t], 0.0);
    }
}

TEST(FFT, InverseIsUnscaled_LoneDcGivesOneEverywhere) {
    std::vector<double> x(1024, 0.0), y(1024, 0.0);
    x[0] = 1.0;
    FFT(-1, 10, x.data(), y.data());
    for (int t = 0; t < 1024; ++t) {
        ASSERT_EQ(x[t], 1.0) << t;
        ASSERT_EQ(y[t], 0.0) << t;
    }
}

TEST(FFT, SinglePointIsLeftAlone) {
    for (int m : {0, -3}) {
        double x = 3.5, y = -2.0;
        EXPECT_TRUE(FFT(1, m, &x, &y));
        EXPECT_EQ(x, 3.5);
        EXPECT_EQ(y, -2.0);
    }
}

std::vector<double> RandomValues(size_t n, uint32_t seed, double scale) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> dist(-scale, scale);
    std::vector<double> v(n);
    for (auto& d : v) d = dist(rng);
    return v;
}

TEST(FFT, AnyDirectionButOneIsTheInverse) {
    const auto re = RandomValues(256, 1, 1000.0);
    const auto im = RandomValues(256, 2, 1000.0);
    auto xRef = re, yRef = im;
    FFT(-1, 8, xRef.data(), yRef.data());
    for (int direction : {0, 2, -7}) {
        auto x = re, y = im;
        FFT(direction, 8, x.data(), y.data());
        EXPECT_EQ(0, std::memcmp(x.data(), xRef.data(), x.size() * sizeof(double))) << direction;
        EXPECT_EQ(0, std::memcmp(y.data(), yRef.data(), y.size() * sizeof(double))) << direction;
    }
}

// The forward transform against the textbook sum X[k] = 1/n Σ x[t] e^(−2πi·k·t/n),
// and the inverse bringing the input back.
TEST(FFT, MatchesDirectSumAndRoundTrips) {
    constexpr int n = 64;
    const auto re = RandomValues(n, 3, 1.0);
    const auto im = RandomValues(n, 4, 1.0);
    auto x = re, y = im;
    FFT(1, 6, x.data(), y.data());
    for (int k = 0; k < n; ++k) {
        std::complex<double> sum = 0;
        for (int t = 0; t < n; ++t) {
            const double angle = -2.0 * std::numbers::pi * k * t / n;
            sum += std::complex<double>(re[t], im[t]) * std::polar(1.0, angle);
        }
        EXPECT_NEAR(x[k], sum.real() / n, 1e-12) << k;
        EXPECT_NEAR(y[k], sum.imag() / n, 1e-12) << k;
    }
    FFT(-1, 6, x.data(), y.data());
    for (int t = 0; t < n; ++t) {
        EXPECT_NEAR(x[t], re[t], 1e-12) << t;
        EXPECT_NEAR(y[t], im[t], 1e-12) << t;
    }
}

// The faster two-lane transform of the pitch shifter must round exactly as FFT does.
TEST(PairedFft, EachLaneIsBitIdenticalToFFT) {
    uint32_t seed = 100;
    for (int direction : {1, -1}) {
        for (double scale : {1.0, 32768.0, 1e-300}) {
            seed += 4;
            std::vector<double> re[2] = {RandomValues(1024, seed, scale),
                                         RandomValues(1024, seed + 1, scale)};
            std::vector<double> im[2] = {RandomValues(1024, seed + 2, scale),
                                         RandomValues(1024, seed + 3, scale)};
            static LaneArray pairRe, pairIm;
            for (int k = 0; k < 1024; ++k) {
                for (int c = 0; c < 2; ++c) {
                    pairRe[k][c] = re[c][k];
                    pairIm[k][c] = im[c][k];
                }
            }
            PairedFft(direction, pairRe, pairIm);
            for (int c = 0; c < 2; ++c) {
                FFT(direction, 10, re[c].data(), im[c].data());
                for (int k = 0; k < 1024; ++k) {
                    ASSERT_EQ(std::bit_cast<uint64_t>(pairRe[k][c]),
                              std::bit_cast<uint64_t>(re[c][k]))
                        << "direction " << direction << " scale " << scale << " lane " << c
                        << " bin " << k;
                    ASSERT_EQ(std::bit_cast<uint64_t>(pairIm[k][c]),
                              std::bit_cast<uint64_t>(im[c][k]));
                }
            }
        }
    }
}

}  // namespace
}  // namespace sonvira
