#include <gtest/gtest.h>

#include <algorithm>

#include "PermanentChange.h"
#include "ScalarReferenceRenderer.h"
#include "TestDocument.h"

#include <cmath>
#include <limits>
#include <vector>

namespace sonvira {
namespace {

std::vector<uint8_t> Bytes(const AudioDocument& doc) {
    return {doc.SampleData, doc.SampleData + doc.DataSize};
}

std::vector<int> Progress(AudioDocument& doc, double speed, double pitch) {
    std::vector<int> seen;
    ApplyPermanentChange(doc, speed, pitch, [&](int percent) { seen.push_back(percent); });
    return seen;
}

TEST(PermanentChange, ProgressOncePerBlockThenZero) {
    struct Case {
        int32_t frames;
        std::vector<int> progress;
    };
    const Case cases[] = {
        {2500, {0, 41, 82, 0}},    // blocks of 1024, 1024, 452
        {2048, {0, 50, 100, 0}},   // the third pass is empty
        {10, {0, 0}},
    };
    for (const auto& c : cases) {
        AudioDocument doc;
        test::Load(doc, test::RandomDocument(c.frames, 44100, true, true, 1));
        EXPECT_EQ(Progress(doc, 1.0, 1.3), c.progress) << c.frames << " frames";
    }
}

TEST(PermanentChange, EmptyDocumentIsLeftAlone) {
    AudioDocument doc;
    doc.SampleRate = 44100;
    EXPECT_TRUE(Progress(doc, 2.0, 2.0).empty());
    EXPECT_EQ(doc.SampleRate, 44100);
}

// A few bytes but not one whole frame: nothing to transform, no division by the
// zero frame count; the rate still takes the speed.
TEST(PermanentChange, LessThanOneFrameChangesOnlyTheRate) {
    AudioDocument doc;
    test::Load(doc, reference::Document{{1, 2, 3}, 44100, true, true});
    EXPECT_EQ(Progress(doc, 2.0, 1.5), (std::vector<int>{0, 0}));
    EXPECT_EQ(Bytes(doc), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(doc.SampleRate, 88200);
}

TEST(PermanentChange, RateTakesTheSpeedTruncated) {
    struct Case {
        int32_t rate;
        double speed;
        int32_t result;
    };
    const Case cases[] = {
        {44100, 1.0, 44100},   {44100, 1.5, 66150},  {44100, 0.5, 22050},
        {22050, 0.33, 7276},   // 7276.5 truncated
        {44100, 0.0, 4410},    // typed half-way: clamped to the field's 0.1 … 10
        {44100, -2.0, 4410},   {44100, 1e6, 441000},
        {300000000, 10.0, std::numeric_limits<int32_t>::max()},
    };
    for (const auto& c : cases) {
        AudioDocument doc;
        test::Load(doc, test::RandomDocument(100, c.rate, false, false, 2));
        ApplyPermanentChange(doc, c.speed, 1.0, nullptr);
        EXPECT_EQ(doc.SampleRate, c.result) << c.rate << " x " << c.speed;
    }
}

// Constants are bin 0 alone, which never moves: 8-bit silence of 127 (and any other
// constant) comes back exactly for every pitch.
TEST(PermanentChange, ConstantsSurviveEveryPitch) {
    struct Case {
        bool stereo, is16;
        std::vector<uint8_t> frame;
    };
    const Case cases[] = {{false, false, {127}}, {true, false, {200, 3}},
                          {false, true, {0x18, 0xFC}}, {true, true, {0, 0, 0xFF, 0x7F}}};
    for (const auto& c : cases) {
        for (double pitch : {0.01, 0.5, 2.0, 100.0, 0.0}) {
            reference::Document d{{}, 44100, c.stereo, c.is16};
            for (int f = 0; f < 2048; ++f) d.data.insert(d.data.end(), c.frame.begin(), c.frame.end());
            AudioDocument doc;
            test::Load(doc, d);
            ApplyPermanentChange(doc, 1.0, pitch, nullptr);
            ASSERT_EQ(Bytes(doc), d.data) << "pitch " << pitch << " byte " << int(c.frame[0]);
        }
    }
}

TEST(PermanentChange, PitchOneMovesSamplesAtMostOneStepDown) {
    for (bool is16 : {true, false}) {
        const auto d = test::RandomDocument(3000, 44100, true, is16, 3);
        AudioDocument doc;
        test::Load(doc, d);
        ApplyPermanentChange(doc, 1.0, 1.0, nullptr);
        EXPECT_EQ(doc.SampleRate, 44100);
        if (is16) {
            for (size_t i = 0; i < d.data.size(); i += 2) {
                int16_t before, after;
                std::memcpy(&before, d.data.data() + i, 2);
                std::memcpy(&after, doc.SampleData + i, 2);
                const int towardZero = before > 0 ? before - 1 : before < 0 ? before + 1 : 0;
                ASSERT_TRUE(after == before || after == towardZero) << "sample " << i / 2;
            }
        } else {
            // 127 is the zero point: a byte may come back one lower, never higher.
            for (size_t i = 0; i < d.data.size(); ++i) {
                ASSERT_TRUE(doc.SampleData[i] == d.data[i] || doc.SampleData[i] == d.data[i] - 1)
                    << "byte " << i << ": " << int(d.data[i]) << " -> " << int(doc.SampleData[i]);
            }
        }
    }
}

// The last, short block of each channel is padded with silence on its own; bytes
// after the last whole frame are never touched.
TEST(PermanentChange, ShortLastBlockPerChannelAndTrailingBytes) {
    reference::Document d = test::RandomDocument(1500, 44100, true, true, 4);
    for (int f = 0; f < 1500; ++f) {  // right channel silent
        d.data[4 * f + 2] = 0;
        d.data[4 * f + 3] = 0;
    }
    d.data.insert(d.data.end(), {9, 8, 7});
    AudioDocument doc;
    test::Load(doc, d);
    ApplyPermanentChange(doc, 1.0, 1.8, nullptr);
    for (int f = 0; f < 1500; ++f) {
        ASSERT_EQ(doc.SampleData[4 * f + 2], 0) << f;
        ASSERT_EQ(doc.SampleData[4 * f + 3], 0) << f;
    }
    EXPECT_EQ(doc.SampleData[6000], 9);
    EXPECT_EQ(doc.SampleData[6002], 7);
}

// The scalar reference for the permanent change: per channel, per block, scalar FFT.
void ReferencePermanentChange(reference::Document& d, double pitch) {
    const int channels = d.stereo ? 2 : 1;
    const int width = d.is16 ? 2 : 1;
    int32_t frames = static_cast<int32_t>(d.data.size());
    if (d.is16) frames /= 2;
    if (d.stereo) frames /= 2;
    const double r = 1.0 / ClampPitchFactor(pitch);
    for (int32_t s = 0, rest = frames; rest >= 0; s += 1024, rest -= 1024) {
        const int32_t length = std::min(rest, 1024);
        for (int c = 0; c < channels; ++c) {
            std::vector<double> re(1024, 0.0), im(1024, 0.0), ro(1024, 0.0), io(1024, 0.0);
            for (int j = 0; j < length; ++j) {
                const uint8_t* p = d.data.data() + ((s + j) * channels + c) * width;
                int16_t v16 = 0;
                if (d.is16) std::memcpy(&v16, p, 2);
                re[j] = d.is16 ? v16 : (p[0] - 127) * 256.0;
            }
            FFT(1, 10, re.data(), im.data());
            for (int j = 0; j < 512; ++j) {
                const int k = static_cast<int>(std::trunc(j * r));
                if (k > 512 || k < 0) continue;
                ro[k] += re[j];
                io[k] += im[j];
                ro[1023 - k] += re[1023 - j];
                io[1023 - k] += im[1023 - j];
            }
            FFT(-1, 10, ro.data(), io.data());
            for (int j = 0; j < length; ++j) {
                uint8_t* p = d.data.data() + ((s + j) * channels + c) * width;
                if (d.is16) {
                    const auto v = static_cast<int16_t>(
                        std::clamp<int64_t>(static_cast<int64_t>(std::trunc(ro[j])), -32768, 32767));
                    std::memcpy(p, &v, 2);
                } else {
                    p[0] = static_cast<uint8_t>(
                        std::clamp<int64_t>(static_cast<int64_t>(std::trunc(ro[j] / 256 + 127)), 0, 255));
                }
            }
        }
    }
}

TEST(PermanentChange, BitIdenticalToScalarReference) {
    uint32_t seed = 50;
    for (bool stereo : {false, true}) {
        for (bool is16 : {false, true}) {
            for (double pitch : {0.4, 1.0, 1.7, 37.0}) {
                reference::Document expected = test::RandomDocument(2600, 32000, stereo, is16, ++seed);
                AudioDocument doc;
                test::Load(doc, expected);
                ApplyPermanentChange(doc, 1.0, pitch, nullptr);
                ReferencePermanentChange(expected, pitch);
                ASSERT_EQ(Bytes(doc), expected.data)
                    << "stereo " << stereo << " 16-bit " << is16 << " pitch " << pitch;
            }
        }
    }
}

}  // namespace
}  // namespace sonvira
