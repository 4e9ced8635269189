#include "HighQualityPermanentChange.h"

#include "Factors.h"

#include <rubberband/RubberBandStretcher.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace sonvira {
namespace {

using RubberBand::RubberBandStretcher;

constexpr size_t kBlock = 4096;
constexpr double kMinPitchScale = 1.0 / 16, kMaxPitchScale = 16.0;

// The document's samples as floats of ±1 and back, channel by channel.
class SampleAccess {
public:
    explicit SampleAccess(AudioDocument& doc) : doc_(doc), channels_(doc.Channels()) {}

    float Load(int64_t frame, int channel) const {
        const int64_t index = frame * channels_ + channel;
        if (doc_.Is16Bit) {
            int16_t v;
            std::memcpy(&v, doc_.SampleData + 2 * index, 2);
            return static_cast<float>(v) / 32768.0f;
        }
        return static_cast<float>(doc_.SampleData[index] - 128) / 128.0f;
    }

    void Store(int64_t frame, int channel, float value) {
        const int64_t index = frame * channels_ + channel;
        if (doc_.Is16Bit) {
            const auto v = static_cast<int16_t>(std::clamp(std::nearbyint(value * 32768.0f), -32768.0f, 32767.0f));
            std::memcpy(doc_.SampleData + 2 * index, &v, 2);
        } else {
            doc_.SampleData[index] = static_cast<uint8_t>(std::clamp(std::nearbyint(value * 128.0f) + 128.0f, 0.0f, 255.0f));
        }
    }

private:
    AudioDocument& doc_;
    int64_t channels_;
};

struct Buffers {
    std::vector<std::vector<float>> data;
    std::vector<float*> pointers;
    Buffers(int channels, size_t frames) : data(static_cast<size_t>(channels), std::vector<float>(frames)) {
        for (auto& channel : data) pointers.push_back(channel.data());
    }
};

void Fill(const SampleAccess& samples, Buffers& in, int64_t first, size_t count) {
    for (size_t c = 0; c < in.data.size(); ++c)
        for (size_t i = 0; i < count; ++i)
            in.data[c][i] = samples.Load(first + static_cast<int64_t>(i), static_cast<int>(c));
}

}  // namespace

void ApplyHighQualityPermanentChange(AudioDocument& doc, double speedFactor, double pitchFactor,
                                     const ProgressCallback& progress) {
    if (doc.DataSize <= 0 || doc.SampleData == nullptr) return;
    const int channels = doc.Channels();
    const int64_t frames = doc.FrameCount();
    const auto report = [&](int percent) {
        if (progress) progress(percent);
    };
    SampleAccess samples(doc);
    Buffers in(channels, kBlock), out(channels, kBlock);
    RubberBandStretcher stretcher(static_cast<size_t>(std::max(doc.SampleRate.load(), 1)), static_cast<size_t>(channels),
                                  RubberBandStretcher::OptionProcessOffline | RubberBandStretcher::OptionEngineFiner |
                                      RubberBandStretcher::OptionPitchHighQuality);
    stretcher.setPitchScale(std::clamp(1.0 / ClampPitchFactor(pitchFactor), kMinPitchScale, kMaxPitchScale));
    stretcher.setExpectedInputDuration(static_cast<size_t>(frames));
    stretcher.setMaxProcessSize(kBlock);

    for (int64_t first = 0; first < frames; first += kBlock) {
        report(static_cast<int>(first * 50 / frames));
        const auto count = static_cast<size_t>(std::min<int64_t>(kBlock, frames - first));
        Fill(samples, in, first, count);
        stretcher.study(in.pointers.data(), count, first + static_cast<int64_t>(count) >= frames);
    }
    // The output never runs ahead of the input read, so it is written back in place.
    int64_t read = 0, written = 0;
    const auto drain = [&] {
        for (int available; (available = stretcher.available()) > 0 && written < frames;) {
            const auto got = stretcher.retrieve(out.pointers.data(), std::min<size_t>(kBlock, static_cast<size_t>(available)));
            for (size_t i = 0; i < got && written < frames; ++i, ++written)
                for (int c = 0; c < channels; ++c) samples.Store(written, c, out.data[static_cast<size_t>(c)][i]);
        }
    };
    while (read < frames) {
        report(50 + static_cast<int>(read * 50 / frames));
        const auto count = static_cast<size_t>(std::min<int64_t>(kBlock, frames - read));
        Fill(samples, in, read, count);
        read += static_cast<int64_t>(count);
        stretcher.process(in.pointers.data(), count, read >= frames);
        drain();
    }
    drain();
    doc.SampleRate = ScaledRate(doc.SampleRate, speedFactor);
    report(0);
}

}  // namespace sonvira
