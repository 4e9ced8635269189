#include <gtest/gtest.h>

#include "PitchShiftBlock.h"
#include "ScalarReferenceRenderer.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

namespace sonvira {
namespace {

constexpr int kFrames = 1024;
using Block = std::vector<int16_t>;  // 1024 interleaved stereo frames

Block Constant(int16_t left, int16_t right) {
    Block b(2 * kFrames);
    for (int j = 0; j < kFrames; ++j) {
        b[2 * j] = left;
        b[2 * j + 1] = right;
    }
    return b;
}

Block Random(uint32_t seed, int amplitude) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> dist(-amplitude, amplitude);
    Block b(2 * kFrames);
    for (auto& s : b) s = static_cast<int16_t>(dist(rng));
    return b;
}

// value(t) for frame t, put on the left channel; the right one stays silent.
template <class F>
Block LeftOnly(F value) {
    Block b(2 * kFrames, 0);
    for (int t = 0; t < kFrames; ++t) b[2 * t] = static_cast<int16_t>(std::lround(value(t)));
    return b;
}

double Cosine(int bin, int t) { return std::cos(2.0 * std::numbers::pi * bin * t / kFrames); }

const double kFactors[] = {0.01, 0.3, 0.5, 1.0, 1.7, 2.0, 100.0,
                           // typed for a moment, clamped before use
                           0.0, -2.0, 1e300, std::numeric_limits<double>::quiet_NaN()};

TEST(PitchShiftBlock, SilenceAndConstantsSurviveEveryFactor) {
    for (double factor : kFactors) {
        for (auto [left, right] : {std::pair<int16_t, int16_t>{0, 0}, {1000, 1000},
                                   {-32768, 32767}}) {
            Block b = Constant(left, right);
            PitchShiftBlock(b.data(), kFrames, factor);
            EXPECT_EQ(b, Constant(left, right)) << "factor " << factor << " left " << left;
        }
    }
}

TEST(PitchShiftBlock, FactorOneMovesSamplesAtMostOneStepTowardZero) {
    const Block in = Random(7, 32768);
    Block out = in;
    PitchShiftBlock(out.data(), kFrames, 1.0);
    int changed = 0;
    for (size_t i = 0; i < in.size(); ++i) {
        const int towardZero = in[i] > 0 ? in[i] - 1 : in[i] < 0 ? in[i] + 1 : 0;
        ASSERT_TRUE(out[i] == in[i] || out[i] == towardZero)
            << "sample " << i << ": " << in[i] << " -> " << out[i];
        changed += out[i] != in[i];
    }
    EXPECT_LT(changed, static_cast<int>(in.size()));
}

// Expected output per frame t of the left channel. The input tone is itself rounded to
// whole samples, and the output truncated: a few steps of slack, far below any wrong bin.
template <class F>
void ExpectLeft(const Block& out, F expected, const char* what) {
    for (int t = 0; t < kFrames; ++t) {
        ASSERT_NEAR(out[2 * t], expected(t), 3.0) << what << ", frame " << t;
        ASSERT_EQ(out[2 * t + 1], 0) << what << ": the right channel stays silent";
    }
}

TEST(PitchShiftBlock, SinusoidDownOctave_Bin64ToBin32) {
    Block b = LeftOnly([](int t) { return 16000 * Cosine(64, t); });
    PitchShiftBlock(b.data(), kFrames, 2.0);
    ExpectLeft(b, [](int t) { return 16000 * Cosine(32, t); }, "pitch 2");
}

// Up an octave the mirror N − 1 − k is filled from N − 1 − j: bin 32's conjugate
// (bin 992) lands in 961, i.e. bin 63 instead of 64. The tone comes out as the mean
// of bins 64 and 63.
TEST(PitchShiftBlock, SinusoidUpOctave_MirrorLandsOneBinLow) {
    Block b = LeftOnly([](int t) { return 16000 * Cosine(32, t); });
    PitchShiftBlock(b.data(), kFrames, 0.5);
    ExpectLeft(b, [](int t) { return 8000 * (Cosine(64, t) + Cosine(63, t)); }, "pitch 0.5");
}

// Pitch 100: the bins 0 … 99 all add into bin 0, the mirrors 924 … 1023 into bin 1023.
// A tone in bin 10 becomes (A/2)(1 + e^(2πi·1023·t/N)), i.e. (A/2)(1 + cos(2π·t/N)).
TEST(PitchShiftBlock, FactorHundredGathersLowBinsIntoBinZero) {
    Block b = LeftOnly([](int t) { return 16000 * Cosine(10, t); });
    PitchShiftBlock(b.data(), kFrames, 100.0);
    ExpectLeft(b, [](int t) { return 8000 * (1 + Cosine(1, t)); }, "pitch 100");
}

// Moved bins add up: square-ish loud input at pitch 2 sums beyond the 16-bit range, and
// the stored sample is held at full scale. Wrapped round to the other extreme it was a crack.
TEST(PitchShiftBlock, LoudSumsSaturateInsteadOfWrappingRound) {
    Block in(2 * kFrames, 0);
    for (int t = 0; t < kFrames; ++t) {
        in[2 * t] = static_cast<int16_t>((t / 4) % 2 ? -32000 : 32000);
        in[2 * t + 1] = static_cast<int16_t>((t / 5) % 2 ? -32000 : 32000);
    }
    Block out = in;
    PitchShiftBlock(out.data(), kFrames, 2.0);

    // The unclipped values, computed the slow way in double precision.
    int clipped = 0;
    for (int c = 0; c < 2; ++c) {
        std::vector<double> re(kFrames), im(kFrames, 0.0), reOut(kFrames, 0.0),
            imOut(kFrames, 0.0);
        for (int j = 0; j < kFrames; ++j) re[j] = in[2 * j + c];
        FFT(1, 10, re.data(), im.data());
        for (int j = 0; j < kFrames / 2; ++j) {
            const int k = j / 2;
            reOut[k] += re[j];
            imOut[k] += im[j];
            reOut[kFrames - 1 - k] += re[kFrames - 1 - j];
            imOut[kFrames - 1 - k] += im[kFrames - 1 - j];
        }
        FFT(-1, 10, reOut.data(), imOut.data());
        for (int j = 0; j < kFrames; ++j) {
            const auto value = static_cast<int64_t>(std::trunc(reOut[j]));
            if (value > 32767 || value < -32768) {
                ++clipped;
                ASSERT_EQ(out[2 * j + c], value > 0 ? 32767 : -32768) << "channel " << c << " frame " << j;
            }
        }
    }
    EXPECT_GT(clipped, 0) << "the input should drive some sums past 16 bits";
}

TEST(PitchShiftBlock, ShortBlockIsPaddedWithSilenceAndTheRestIsUntouched) {
    Block b = Random(11, 20000);
    const Block in = b;
    Block expected = b;
    reference::PitchShiftBlock(expected.data(), 300, 1.3);
    PitchShiftBlock(b.data(), 300, 1.3);
    EXPECT_EQ(b, expected);
    EXPECT_TRUE(std::equal(b.begin() + 600, b.end(), in.begin() + 600));
}

TEST(PitchShiftBlock, BitIdenticalToScalarReference) {
    uint32_t seed = 20;
    for (double factor : kFactors) {
        Block fast = Random(++seed, 32768);
        Block slow = fast;
        PitchShiftBlock(fast.data(), kFrames, factor);
        reference::PitchShiftBlock(slow.data(), kFrames, factor);
        ASSERT_EQ(fast, slow) << "factor " << factor;
    }
}

}  // namespace
}  // namespace sonvira
