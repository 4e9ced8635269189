#pragma once
// The high-quality playback renderer: the same job as FillBuffer (the next block of
// 44100 Hz 16-bit stereo from the document, at the state's range, loop, pause, speed and
// pitch, the play position published once per block), with the sound going through
// Rubber Band's real-time stretcher (R3 "finer" engine) instead of the block pitch
// shifter, so that a tone stays a clean tone at any speed.
//
// The factors mean what they mean for the standard engine: speed s plays the sound s
// times as fast, and a tone of frequency f comes out at f × s / p for pitch p. A sound
// below 44100 Hz is first raised to 44100 Hz (StreamUpsampler), so the stretcher's time
// ratio is 1 / s and its pitch scale s / p; a sound above it is fed as if it were at
// 44100 Hz and its rate goes into the ratios: time ratio 44100 / (rate × s), pitch scale
// (rate / 44100) × (s / p). Both are clamped to what the stretcher takes (see the .cpp).
// Mono sounds go through a one-channel stretcher, at half the cost.
//
// The source is fed across the loop point, so a looping selection has no seam. The
// published position moves as the standard engine's does (speed × rate / 44100 source
// frames per output frame). A position the window moves (a click, a rewind on resume, a
// new play command), or a sound of another rate or channel count, restarts the stretcher.
//
// Thread: the playback stream thread (or the window thread for the priming render before
// it starts), one caller at a time. Everything is sized when the renderer is made (a few
// hundred milliseconds): both stretchers are warmed up through the corners of the ratios
// they can be given (WarmStretcher.h), so that Rubber Band's buffers have reached their
// largest size and a restart or a ratio change finds them ready; a restart skips the lead
// this leaves in the stretcher's output. Reset and Render (restarts, pitch crossing 1,
// factor sweeps, loop points, other rates and channel counts included) allocate nothing,
// lock nothing and never wait; playback_realtime_tests counts it.

#include "AudioDocument.h"
#include "PlaybackState.h"
#include "StreamUpsampler.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace RubberBand {
class RubberBandStretcher;
}

namespace sonvira {

class RubberBandRenderer {
public:
    static constexpr int32_t kMaxBlockFrames = 4096;

    RubberBandRenderer();
    ~RubberBandRenderer();
    RubberBandRenderer(const RubberBandRenderer&) = delete;
    RubberBandRenderer& operator=(const RubberBandRenderer&) = delete;

    // Renders bytes / 4 frames (at most kMaxBlockFrames) of interleaved 16-bit stereo.
    void Render(PlaybackState& state, const AudioDocument& doc, int16_t* output, int32_t bytes);

    // Forgets what the stretcher holds: the next Render starts afresh at the state's
    // position (used when playback starts and when the engine is switched to).
    void Reset() { primed_ = false; }

private:
    struct Range;
    void Restart(double position, int32_t rate, int32_t channels, double speed, double pitch);
    bool SetFactors(double speed, double pitch);  // true when the pitch scale changed
    size_t Collect(int32_t frames, const AudioDocument& doc, const Range& range);
    void ReadSource(const AudioDocument& doc, const Range& range, int32_t frames);
    void ReadDocument(const AudioDocument& doc, const Range& range, float* left, float* right, int32_t frames);

    std::unique_ptr<RubberBand::RubberBandStretcher> stretchers_[2];  // mono, stereo
    RubberBand::RubberBandStretcher* stretcher_;                       // the one in use
    double restartLeads_[2] = {0.0, 0.0};  // see WarmStretcher.h
    bool unsettled_[2] = {false, false};   // the pitch scale changed since the last reset
    StreamUpsampler upsampler_;
    std::vector<float> input_[2];
    std::vector<float> output_[2];
    float* inputPointers_[2];
    float* outputPointers_[2];
    double feed_ = 0.0;         // next source frame to feed (whole frames)
    double published_ = 0.0;    // the position this renderer published last
    int64_t toDrop_ = 0;        // output frames of the stretcher's start delay still to skip
    bool primed_ = false;
    bool upsampling_ = false;   // the document is below 44100 Hz and goes through upsampler_
    int32_t rate_ = 0;          // the document rate and channels the stretcher was started for
    int32_t channels_ = 0;
    int32_t feedRate_ = 44100;  // the rate of what the stretcher is fed, as far as the ratios go
    double timeRatio_ = 0.0;    // the factors the stretcher in use was last given
    double pitchScale_ = 0.0;
};

}  // namespace sonvira
