#pragma once
// The high-quality playback renderer: the same job as FillBuffer (the next block of
// 44100 Hz 16-bit stereo from the document, at the state's range, loop, pause, speed and
// pitch, the play position published once per block), with the sound going through
// Rubber Band's real-time stretcher (R3 "finer" engine) instead of the block pitch
// shifter, so that a tone stays a clean tone at any speed.
//
// The factors mean what they mean for the standard engine: speed s plays the sound s
// times as fast, and a tone of frequency f comes out at f × s / p for pitch p. The
// document is fed to the stretcher as if it were at 44100 Hz; the time ratio and pitch
// scale put its own rate right: time ratio 44100 / (rate × s), pitch scale
// (rate / 44100) × (s / p), each clamped to what the stretcher takes (see the .cpp).
//
// The source is fed across the loop point, so a looping selection has no seam. The
// published position is the one being heard: the fed position less what the stretcher
// still holds. A position the window moves (a click, a rewind on resume, a new play
// command) restarts the stretcher there.
//
// Thread: the playback stream thread (or the window thread for the priming render before
// it starts), one caller at a time. Everything is sized when the renderer is made; Render
// allocates nothing, locks nothing and never waits.

#include "AudioDocument.h"
#include "PlaybackState.h"

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
    void Restart(double position);
    void SetFactors(double speed, double pitch, int32_t rate);
    void FeedUntilAvailable(int32_t frames, const AudioDocument& doc, const Range& range);
    void ReadSource(const AudioDocument& doc, const Range& range, int32_t frames);
    double HeardPosition(const Range& range, double sourcePerOutput) const;

    std::unique_ptr<RubberBand::RubberBandStretcher> stretcher_;
    std::vector<float> input_[2];
    std::vector<float> output_[2];
    float* inputPointers_[2];
    float* outputPointers_[2];
    double feed_ = 0.0;         // next source frame to feed (whole frames)
    double published_ = 0.0;    // the position this renderer published last
    int64_t toDrop_ = 0;        // output frames of the stretcher's start delay still to skip
    bool primed_ = false;
    double timeRatio_ = 1.0;
    double pitchScale_ = 1.0;
};

}  // namespace sonvira
