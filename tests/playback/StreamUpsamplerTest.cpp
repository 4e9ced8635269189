// Raising a sound's rate to 44100 Hz before the stretcher: tones keep their frequency,
// level and cleanness, a click lands at its own time, and how the output is asked for
// (block sizes) or restarted changes nothing.
#include "StreamUpsampler.h"
#include "ToneMeasure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace sonvira {
namespace {

constexpr double kOut = 44100.0;

// A source stream: `left` and `right` handed out in order, silence after their end.
struct Source {
    std::vector<float> left, right;
    size_t next = 0;
    void operator()(float* l, float* r, int n) {
        for (int i = 0; i < n; ++i, ++next) {
            l[i] = next < left.size() ? left[next] : 0.0f;
            r[i] = next < right.size() ? right[next] : 0.0f;
        }
    }
};

Source Sines(double rate, double leftHz, double rightHz, size_t frames) {
    Source s;
    for (size_t i = 0; i < frames; ++i) {
        s.left.push_back(static_cast<float>(0.5 * std::sin(2 * M_PI * leftHz * static_cast<double>(i) / rate)));
        s.right.push_back(static_cast<float>(0.5 * std::sin(2 * M_PI * rightHz * static_cast<double>(i) / rate)));
    }
    return s;
}

// Produces `frames` output frames in blocks of the given sizes, cycling through them.
void Produce(StreamUpsampler& up, Source& source, size_t frames, std::vector<double>& left,
             std::vector<double>& right, std::vector<int> blocks = {4096}) {
    std::vector<float> l(4096), r(4096);
    for (size_t done = 0, b = 0; done < frames; ++b) {
        const int n = std::min<int>(blocks[b % blocks.size()], static_cast<int>(frames - done));
        up.Produce(l.data(), r.data(), n, source);
        left.insert(left.end(), l.begin(), l.begin() + n);
        right.insert(right.end(), r.begin(), r.begin() + n);
        done += static_cast<size_t>(n);
    }
}

double RmsDb(const std::vector<double>& s, size_t from, size_t to) {
    double sum = 0;
    for (size_t i = from; i < to; ++i) sum += s[i] * s[i];
    return 10 * std::log10(sum / static_cast<double>(to - from));
}

TEST(StreamUpsampler, TonesKeepFrequencyLevelAndPurity) {
    const struct {
        double rate, leftHz, rightHz;
    } cases[] = {
        {8000, 440, 3000}, {11025, 440, 4000}, {22050, 440, 8000}, {32000, 1000, 12000}, {44100, 440, 15000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rate << " Hz");
        StreamUpsampler up;
        up.Start(c.rate / kOut);
        Source source = Sines(c.rate, c.leftHz, c.rightHz, static_cast<size_t>(c.rate * 2));
        std::vector<double> left, right;
        Produce(up, source, 44100 + 32768, left, right);
        const double sineDb = 10 * std::log10(0.125);  // a sine of amplitude 0.5
        for (const auto& [out, hz] : {std::pair{&left, c.leftHz}, std::pair{&right, c.rightHz}}) {
            SCOPED_TRACE(hz);
            EXPECT_NEAR(test::Frequency(*out, 4410, 44100, kOut), hz, hz * 1e-5);
            EXPECT_NEAR(RmsDb(*out, 4410, 44100), sineDb, 0.1);
            EXPECT_GE(test::PurityDb(*out, 44100, hz, kOut, 15), 80.0);
        }
    }
}

TEST(StreamUpsampler, AClickLandsAtItsOwnTimeAndARestartForgetsThePast) {
    StreamUpsampler up;
    for (int run = 0; run < 2; ++run) {
        up.Start(0.5);  // 22050 Hz to 44100 Hz
        Source source;
        source.left.assign(400, 0.0f);
        source.left[100] = 1.0f;
        source.right = source.left;
        std::vector<double> left, right;
        Produce(up, source, 600, left, right);
        const auto peak = std::max_element(left.begin(), left.end()) - left.begin();
        EXPECT_EQ(peak, 200);
        EXPECT_NEAR(left[200], 0.95, 1e-3);  // the filter's gain at its centre
        for (int k = 1; k < 60; ++k) EXPECT_NEAR(left[200 - k], left[200 + k], 1e-6) << k;
        EXPECT_EQ(left, right);
    }
}

TEST(StreamUpsampler, BlockSizesDoNotChangeTheOutput) {
    std::vector<double> whole, pieces, right;
    for (auto* out : {&whole, &pieces}) {
        StreamUpsampler up;
        up.Start(22050.0 / kOut);
        Source source = Sines(22050, 440, 1234, 30000);
        const std::vector<int> blocks = out == &whole ? std::vector<int>{4096} : std::vector<int>{1, 7, 333, 2048, 5};
        Produce(up, source, 50000, *out, right, blocks);
    }
    EXPECT_EQ(whole, pieces);
}

}  // namespace
}  // namespace sonvira
