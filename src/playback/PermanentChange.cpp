#include "PermanentChange.h"

#include "Factors.h"
#include "BinShift.h"
#include "SaturatedSample.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>

namespace sonvira {

namespace {

constexpr int32_t kBlock = kPitchBlockFrames;

// Where one channel's samples lie and how they convert to and from the transform.
struct Layout {
    uint8_t* data;
    int32_t channels;
    bool is16;

    double Load(int32_t frame, int32_t channel) const {
        const size_t index = static_cast<size_t>(frame) * channels + channel;
        if (is16) {
            int16_t v;
            std::memcpy(&v, data + 2 * index, 2);
            return v;
        }
        // This command takes 127 as the 8-bit zero point: 127 loads as 0, 128 as 256.
        return (data[index] - 127) * 256.0;
    }

    // Truncated toward zero and held to the sample's range.
    void Store(int32_t frame, int32_t channel, double value) const {
        const size_t index = static_cast<size_t>(frame) * channels + channel;
        if (is16) {
            const int16_t v = SaturatedSample16(value);
            std::memcpy(data + 2 * index, &v, 2);
        } else {
            data[index] = SaturatedSample8(value);
        }
    }
};

// One block of `length` frames from `first`, every channel shifted on its own lane.
void ShiftBlock(const Layout& layout, SpectrumScratch& scratch, int32_t first, int32_t length,
                double pitchFactor) {
    for (int32_t j = 0; j < kBlock; ++j) {
        for (int32_t c = 0; c < 2; ++c) {
            const bool inside = j < length && c < layout.channels;
            scratch.re[j][c] = inside ? layout.Load(first + j, c) : 0.0;
        }
    }
    ShiftSpectrum(scratch, pitchFactor);
    for (int32_t j = 0; j < length; ++j) {
        for (int32_t c = 0; c < layout.channels; ++c) {
            layout.Store(first + j, c, scratch.reOut[j][c]);
        }
    }
}

// 100 − remaining × 100 div frames; 0 when there are no whole frames at all.
int Percent(int64_t remaining, int64_t frames) {
    if (frames <= 0) return 0;
    return static_cast<int>(100 - remaining * 100 / frames);
}

}  // namespace

int32_t ScaledRate(int32_t rate, double speedFactor) {
    const double scaled = rate * ClampSpeedFactor(speedFactor);
    constexpr double kMax = std::numeric_limits<int32_t>::max();
    constexpr double kMin = std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(std::clamp(scaled, kMin, kMax));
}

void ApplyPermanentChange(AudioDocument& doc, double speedFactor, double pitchFactor,
                          const ProgressCallback& progress) {
    if (doc.DataSize <= 0 || doc.SampleData == nullptr) return;
    auto scratch = std::make_unique<SpectrumScratch>();
    const Layout layout{doc.SampleData, doc.Channels(), doc.Is16Bit};
    const int32_t frames = doc.FrameCount();

    // frames div 1024 + 1 passes; when frames is a multiple of 1024 the last one is
    // empty but still reported.
    for (int64_t first = 0, remaining = frames; remaining >= 0;
         first += kBlock, remaining -= kBlock) {
        if (progress) progress(Percent(remaining, frames));
        const auto length = static_cast<int32_t>(std::min<int64_t>(remaining, kBlock));
        if (length > 0) {
            ShiftBlock(layout, *scratch, static_cast<int32_t>(first), length, pitchFactor);
        }
    }

    doc.SampleRate = ScaledRate(doc.SampleRate, speedFactor);
    if (progress) progress(0);
}

}  // namespace sonvira
