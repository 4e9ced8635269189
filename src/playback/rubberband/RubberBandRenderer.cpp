#include "RubberBandRenderer.h"

#include "Factors.h"
#include "SourceFrames.h"
#include "WarmStretcher.h"

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
// corners of the fields reach them (pitch 100 or 0.01 with speed 1, speed 10 of a sound
// above 70 kHz).
constexpr double kMinTimeRatio = 1.0 / 16, kMaxTimeRatio = 16.0;
constexpr double kMinPitchScale = 1.0 / 16, kMaxPitchScale = 16.0;

float SourceSample(int16_t v) { return static_cast<float>(v) / 32768.0f; }

int16_t ToSample(float v) {
    const float scaled = std::nearbyint(v * 32768.0f);
    return static_cast<int16_t>(std::clamp(scaled, -32768.0f, 32767.0f));
}

// At a pitch scale of exactly 1 the stretcher, once its time ratio has changed while
// playing (a speed key), stays some 6 dB less pure than one started at the new ratio (a
// 440 Hz tone at half speed: 58 against 63.5 dB); at any other pitch scale it does not.
// The resampler runs either way (OptionPitchHighConsistency), so 1 becomes the nearest
// scale it takes, 0.03 cents off: no one hears that, but everyone hears the cleaner tone.
double OffUnity(double pitchScale) { return pitchScale == 1.0 ? 65536.0 / 65535.0 : pitchScale; }

constexpr StretcherLimits kLimits{kMinTimeRatio, kMaxTimeRatio, kMinPitchScale, kMaxPitchScale, kMaxProcess};

}  // namespace

// The play range as this block sees it: frames at or past `end` are silence, or, when
// looping, followed by `start` again.
struct RubberBandRenderer::Range {
    double start;
    double end;
    bool loop;
};

RubberBandRenderer::RubberBandRenderer() {
    for (size_t c = 0; c < 2; ++c) {
        WarmStretcher warm = MakeWarmStretcher(c + 1, kLimits);
        stretchers_[c] = std::move(warm.stretcher);
        restartLeads_[c] = warm.restartLead;
    }
    stretcher_ = stretchers_[1].get();
    for (int c = 0; c < 2; ++c) {
        input_[c].assign(kMaxProcess, 0.0f);
        output_[c].assign(std::max<size_t>(kMaxBlockFrames, kMaxProcess), 0.0f);
        inputPointers_[c] = input_[c].data();
        outputPointers_[c] = output_[c].data();
    }
}

RubberBandRenderer::~RubberBandRenderer() = default;

bool RubberBandRenderer::SetFactors(double speed, double pitch) {
    const double rateRatio = static_cast<double>(feedRate_) / kOutputRate;
    const double timeRatio = std::clamp(1.0 / (rateRatio * speed), kMinTimeRatio, kMaxTimeRatio);
    const double pitchScale =
        OffUnity(WithShortResamplerTerms(std::clamp(rateRatio * speed / pitch, kMinPitchScale, kMaxPitchScale)));
    if (timeRatio != timeRatio_) stretcher_->setTimeRatio(timeRatio_ = timeRatio);
    if (pitchScale == pitchScale_) return false;
    stretcher_->setPitchScale(pitchScale_ = pitchScale);
    return true;
}

// Starts afresh at `position` of a sound of `rate` frames per second and `channels`
// channels: the stretcher for that many channels is emptied, set to the factors, given the
// silence it wants before the sound, and the delay it adds is skipped in its output.
// reset() and the start pad allocate nothing: the stretchers are warm.
void RubberBandRenderer::Restart(double position, int32_t rate, int32_t channels, double speed, double pitch) {
    rate_ = rate;
    channels_ = channels;
    stretcher_ = stretchers_[channels == 1 ? 0 : 1].get();
    // Sounds below 44100 Hz are raised to it first; higher rates are fed as they are and
    // the stretcher's ratios take their rate into account.
    upsampling_ = rate > 0 && rate < kOutputRate;
    feedRate_ = rate >= kOutputRate ? rate : kOutputRate;
    if (upsampling_) upsampler_.Start(static_cast<double>(rate) / kOutputRate);
    std::fill(input_[0].begin(), input_[0].end(), 0.0f);
    std::fill(input_[1].begin(), input_[1].end(), 0.0f);
    // Only a pitch-scale change while playing moves the resampler's states (a restart
    // costs less without the settling).
    bool& unsettled = unsettled_[channels == 1 ? 0 : 1];
    if (unsettled) SettleForReset(*stretcher_, kLimits, inputPointers_, outputPointers_);
    unsettled = false;
    stretcher_->reset();
    timeRatio_ = pitchScale_ = 0.0;  // the stretcher may hold the other one's factors
    SetFactors(speed, pitch);
    feed_ = std::floor(position);
    for (size_t pad = stretcher_->getPreferredStartPad(); pad > 0;) {
        const size_t n = std::min(pad, kMaxProcess);
        stretcher_->process(inputPointers_, n, false);
        pad -= n;
    }
    // The warm stretcher's resampler starts nearly full (see WarmStretcher.h).
    toDrop_ = static_cast<int64_t>(stretcher_->getStartDelay()) +
              std::llround(restartLeads_[channels == 1 ? 0 : 1] / pitchScale_);
    primed_ = true;
}

// The next `frames` frames of the document from feed_ at its own rate, across the loop
// point when looping; outside the range (or the document) they are silence.
void RubberBandRenderer::ReadDocument(const AudioDocument& doc, const Range& range, float* left, float* right,
                                      int32_t frames) {
    WithFrameReader(doc, [&](const auto& read) {
        for (int32_t i = 0; i < frames; ++i) {
            if (feed_ >= range.end && range.loop && range.end > range.start) feed_ = range.start;
            int16_t frame[2] = {0, 0};
            if (feed_ >= 0.0 && feed_ < range.end) read(static_cast<int32_t>(feed_), frame);
            left[i] = SourceSample(frame[0]);
            right[i] = SourceSample(frame[1]);
            feed_ += 1.0;
        }
    });
}

// The next `frames` frames for the stretcher, at 44100 Hz when the document is below it.
void RubberBandRenderer::ReadSource(const AudioDocument& doc, const Range& range, int32_t frames) {
    if (!upsampling_) {
        ReadDocument(doc, range, input_[0].data(), input_[1].data(), frames);
        return;
    }
    upsampler_.Produce(input_[0].data(), input_[1].data(), frames,
                       [&](float* left, float* right, int n) { ReadDocument(doc, range, left, right, n); });
}

// Takes `frames` frames out of the stretcher into output_, feeding it as it asks. The
// stretcher may hold fewer than a block at once (at a high pitch scale with a short time
// ratio its output buffer holds less than 2048 frames), so the block is taken in parts.
size_t RubberBandRenderer::Collect(int32_t frames, const AudioDocument& doc, const Range& range) {
    const auto wanted = static_cast<size_t>(frames);
    size_t got = 0;
    // Each round hands over at least a few hundred frames; the bound only guards against a
    // stretcher that never yields.
    for (int round = 0; round < 256; ++round) {
        while (toDrop_ > 0 && stretcher_->available() > 0) {
            const auto n = static_cast<size_t>(std::min<int64_t>({toDrop_, stretcher_->available(),
                                                                  static_cast<int64_t>(output_[0].size())}));
            toDrop_ -= static_cast<int64_t>(stretcher_->retrieve(outputPointers_, n));
        }
        if (toDrop_ == 0 && stretcher_->available() > 0) {
            float* into[2] = {output_[0].data() + got, output_[1].data() + got};
            got += stretcher_->retrieve(into, std::min(static_cast<size_t>(stretcher_->available()), wanted - got));
            if (got == wanted) break;
        }
        const size_t feed = std::clamp<size_t>(stretcher_->getSamplesRequired(), 256, kMaxProcess);
        ReadSource(doc, range, static_cast<int32_t>(feed));
        stretcher_->process(inputPointers_, feed, false);
    }
    return got;
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
    if (!primed_ || start != published_ || rate != rate_ || channels != channels_)
        Restart(start, rate, channels, speed, pitch);
    else if (SetFactors(speed, pitch))
        unsettled_[channels == 1 ? 0 : 1] = true;

    if (state.Paused.load()) {
        std::memset(output, 0, static_cast<size_t>(frames) * 4);
        state.ReadIndex.store(ToSamplePosition(std::floor(start), channels));
        published_ = start;
        return;
    }

    const size_t got = Collect(frames, doc, range);
    const std::vector<float>& right = output_[channels == 1 ? 0 : 1];
    for (int32_t i = 0; i < frames; ++i) {
        const bool have = static_cast<size_t>(i) < got;
        output[2 * i] = have ? ToSample(output_[0][static_cast<size_t>(i)]) : 0;
        output[2 * i + 1] = have ? ToSample(right[static_cast<size_t>(i)]) : 0;
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
