// The permanent change through the offline stretcher: a tone moved by the pitch factor,
// clean, its length kept, the speed in the rate; 8-bit sounds too.
#include "HighQualityPermanentChange.h"
#include "TestDocument.h"
#include "ToneMeasure.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace sonvira {
namespace {

// A sine of `frequency` Hz at half scale in every channel.
void LoadSine(AudioDocument& doc, double frequency, int32_t frames, int32_t rate, bool stereo, bool is16) {
    reference::Document d{{}, rate, stereo, is16};
    for (int32_t f = 0; f < frames; ++f) {
        const double v = 0.5 * std::sin(2 * M_PI * frequency * f / rate);
        for (int c = 0; c < (stereo ? 2 : 1); ++c) {
            if (is16) test::Put16(d.data, static_cast<int16_t>(std::lround(32767 * v)));
            else d.data.push_back(static_cast<uint8_t>(std::lround(128 + 127 * v)));
        }
    }
    test::Load(doc, d);
}

std::vector<double> Channel(const AudioDocument& doc, int channel) {
    std::vector<double> out;
    for (int32_t f = 0; f < doc.FrameCount(); ++f) {
        const int32_t i = f * doc.Channels() + channel;
        if (doc.Is16Bit) {
            int16_t v;
            std::memcpy(&v, doc.SampleData + 2 * i, 2);
            out.push_back(v / 32768.0);
        } else {
            out.push_back((doc.SampleData[i] - 128) / 128.0);
        }
    }
    return out;
}



TEST(HighQualityPermanentChange, MovesTheToneKeepsTheLengthAndPutsTheSpeedIntoTheRate) {
    const struct {
        const char* name;
        bool stereo, is16;
        int32_t rate;
        double speed, pitch, expected, minPurity;
    } cases[] = {
        {"16-bit stereo, an octave down", true, true, 44100, 0.5, 2.0, 220.0, 55.0},
        // The stretcher is at its cleanest at 44.1 kHz; at 22.05 kHz a pure tone keeps
        // about 30 dB.
        {"16-bit mono at 22050 Hz, a fifth up", false, true, 22050, 1.0, 2.0 / 3, 660.0, 25.0},
        {"8-bit mono, an octave up", false, false, 44100, 2.0, 0.5, 880.0, 30.0},  // 8 bits: noise
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AudioDocument doc;
        LoadSine(doc, 440, c.rate * 4, c.rate, c.stereo, c.is16);
        const int32_t size = doc.DataSize;
        std::vector<int> reported;
        ApplyHighQualityPermanentChange(doc, c.speed, c.pitch, [&](int p) { reported.push_back(p); });
        EXPECT_EQ(doc.DataSize, size);
        EXPECT_EQ(doc.SampleRate.load(), static_cast<int32_t>(c.rate * c.speed));
        ASSERT_GE(reported.size(), 3u);
        EXPECT_EQ(reported.front(), 0);
        EXPECT_EQ(reported.back(), 0);
        EXPECT_TRUE(std::is_sorted(reported.begin(), reported.end() - 1));
        for (int channel = 0; channel < doc.Channels(); ++channel) {
            const std::vector<double> s = Channel(doc, channel);
            const size_t from = s.size() / 8;  // away from the ends
            const double f = test::Frequency(s, from, from + 65536, c.rate);
            EXPECT_NEAR(1200 * std::log2(f / c.expected), 0.0, 1.0) << f;
            EXPECT_GE(test::PurityDb(s, from, c.expected, c.rate, 16), c.minPurity);
        }
    }

    AudioDocument empty;
    bool called = false;
    ApplyHighQualityPermanentChange(empty, 2, 2, [&](int) { called = true; });
    EXPECT_FALSE(called);
}

}  // namespace
}  // namespace sonvira
