#include "RubberBandRenderer.h"

#include "Factors.h"
#include "SourceFrames.h"

#include <rubberband/RubberBandStretcher.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace sonvira {
namespace {

using RubberBand::RubberBandStretcher;

constexpr int32_t kOutputRate = 44100;
constexpr size_t kMaxProcess = 8192;  // frames handed to the stretcher at once
// Beyond these the stretcher's sound falls apart (and its buffers would have to grow):
// a time ratio of 1/16 … 16 and a pitch scale of four octaves either way. Only the far
// corners of the fields reach them (speed 0.1 of an 8 kHz sound, pitch 100 with speed 1).
constexpr double kMinTimeRatio = 1.0 / 16, kMaxTimeRatio = 16.0;
constexpr double kMinPitchScale = 1.0 / 16, kMaxPitchScale = 16.0;

float SourceSample(int16_t v) { return static_cast<float>(v) / 32768.0f; }

int16_t ToSample(float v) {
    const float scaled = std::nearbyint(v * 32768.0f);
    return static_cast<int16_t>(std::clamp(scaled, -32768.0f, 32767.0f));
}

}  // namespace

// The play range as this block sees it: frames at or past `end` are silence, or, when
// looping, followed by `start` again.
struct RubberBandRenderer::Range {
    double start;
    double end;
    bool loop;
};

RubberBandRenderer::RubberBandRenderer()
    : stretcher_(std::make_unique<RubberBandStretcher>(
          kOutputRate, 2,
          RubberBandStretcher::OptionProcessRealTime | RubberBandStretcher::OptionEngineFiner |
              RubberBandStretcher::OptionPitchHighConsistency | RubberBandStretcher::OptionChannelsTogether)) {
    stretcher_->setMaxProcessSize(kMaxProcess);
    for (int c = 0; c < 2; ++c) {
        input_[c].assign(kMaxProcess, 0.0f);
        output_[c].assign(std::max<size_t>(kMaxBlockFrames, kMaxProcess), 0.0f);
        inputPointers_[c] = input_[c].data();
        outputPointers_[c] = output_[c].data();
    }
}

RubberBandRenderer::~RubberBandRenderer() = default;

void RubberBandRenderer::SetFactors(double speed, double pitch, int32_t rate) {
    const double rateRatio = rate > 0 ? static_cast<double>(rate) / kOutputRate : 1.0;
    const double timeRatio = std::clamp(1.0 / (rateRatio * speed), kMinTimeRatio, kMaxTimeRatio);
    const double pitchScale = std::clamp(rateRatio * speed / pitch, kMinPitchScale, kMaxPitchScale);
    if (timeRatio != timeRatio_) stretcher_->setTimeRatio(timeRatio_ = timeRatio);
    if (pitchScale != pitchScale_) stretcher_->setPitchScale(pitchScale_ = pitchScale);
}

// Starts afresh at `position`: the stretcher is emptied, given the silence it wants
// before the sound, and the delay it adds is skipped in its output.
void RubberBandRenderer::Restart(double position) {
    stretcher_->reset();
    feed_ = std::floor(position);
    std::fill(input_[0].begin(), input_[0].end(), 0.0f);
    std::fill(input_[1].begin(), input_[1].end(), 0.0f);
    for (size_t pad = stretcher_->getPreferredStartPad(); pad > 0;) {
        const size_t n = std::min(pad, kMaxProcess);
        stretcher_->process(inputPointers_, n, false);
        pad -= n;
    }
    toDrop_ = static_cast<int64_t>(stretcher_->getStartDelay());
    primed_ = true;
}

// The next `frames` source frames from feed_, across the loop point when looping; outside
// the range (or the document) they are silence.
void RubberBandRenderer::ReadSource(const AudioDocument& doc, const Range& range, int32_t frames) {
    WithFrameReader(doc, [&](const auto& read) {
        for (int32_t i = 0; i < frames; ++i) {
            if (feed_ >= range.end && range.loop && range.end > range.start) feed_ = range.start;
            int16_t frame[2] = {0, 0};
            if (feed_ >= 0.0 && feed_ < range.end) read(static_cast<int32_t>(feed_), frame);
            input_[0][static_cast<size_t>(i)] = SourceSample(frame[0]);
            input_[1][static_cast<size_t>(i)] = SourceSample(frame[1]);
            feed_ += 1.0;
        }
    });
}

void RubberBandRenderer::FeedUntilAvailable(int32_t frames, const AudioDocument& doc, const Range& range) {
    // Each round hands over at least a few hundred frames; the bound only guards against a
    // stretcher that never yields.
    for (int round = 0; round < 256; ++round) {
        while (toDrop_ > 0 && stretcher_->available() > 0) {
            const auto n = static_cast<size_t>(std::min<int64_t>({toDrop_, stretcher_->available(),
                                                                  static_cast<int64_t>(output_[0].size())}));
            toDrop_ -= static_cast<int64_t>(stretcher_->retrieve(outputPointers_, n));
        }
        if (toDrop_ == 0 && stretcher_->available() >= frames) return;
        const size_t wanted = std::clamp<size_t>(stretcher_->getSamplesRequired(), 256, kMaxProcess);
        ReadSource(doc, range, static_cast<int32_t>(wanted));
        stretcher_->process(inputPointers_, wanted, false);
    }
}

void RubberBandRenderer::Render(PlaybackState& state, const AudioDocument& doc, int16_t* output, int32_t bytes) {
    const double speed = ClampSpeedFactor(state.SpeedFactor.load());
    const double pitch = ClampPitchFactor(state.PitchFactor.load());
    const int32_t frameCount = doc.SampleData ? std::max(doc.FrameCount(), 0) : 0;
    state.FrameCount.store(frameCount);
    const int32_t frames = std::min(bytes / 4, kMaxBlockFrames);
    if (frames <= 0) return;

    const int32_t rate = doc.SampleRate.load();
    const Range range{static_cast<double>(state.RangeStart.load()),
                      static_cast<double>(std::min(state.RangeEnd.load(), frameCount)), state.Loop.load()};
    const int32_t channels = doc.IsStereo ? 2 : 1;
    const double start = state.PlayPosition.load();
    SetFactors(speed, pitch, rate);
    if (!primed_ || start != published_) Restart(start);

    if (state.Paused.load()) {
        std::memset(output, 0, static_cast<size_t>(frames) * 4);
        state.ReadIndex.store(ToSamplePosition(std::floor(start), channels));
        published_ = start;
        return;
    }

    FeedUntilAvailable(frames, doc, range);
    const size_t got = stretcher_->retrieve(outputPointers_, static_cast<size_t>(frames));
    for (int32_t i = 0; i < frames; ++i) {
        const bool have = static_cast<size_t>(i) < got;
        output[2 * i] = have ? ToSample(output_[0][static_cast<size_t>(i)]) : 0;
        output[2 * i + 1] = have ? ToSample(output_[1][static_cast<size_t>(i)]) : 0;
    }

    // The position heard moves as the standard engine's does: speed × rate / 44100 source
    // frames per output frame, back to the range's start once past its end when looping.
    double position = start + frames * (rate / static_cast<double>(kOutputRate)) * speed;
    if (range.loop && position >= range.end && range.end > range.start)
        position = range.start + std::fmod(position - range.start, range.end - range.start);
    state.ReadIndex.store(ToSamplePosition(std::floor(std::min(position, std::max(range.end - 1, 0.0))), channels));
    double expected = start;
    if (state.PlayPosition.compare_exchange_strong(expected, position)) published_ = position;
}

}  // namespace sonvira
