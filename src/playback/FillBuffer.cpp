#include "FillBuffer.h"

#include "Factors.h"
#include "PairedFft.h"
#include "PitchShiftBlock.h"
#include "SourceFrames.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace sonvira {

namespace {

// Nearest integer with halves to even, exact for |v| < 2^51 in the default rounding
// mode: once 1.5 × 2^52 is added no fraction bits are left, and that addition rounds
// halves to even. Two additions instead of a call to the maths library per frame.
inline double RoundHalfEven(double v) {
    constexpr double kShift = 6755399441055744.0;
    return (v + kShift) - kShift;
}

// A pause holds the read position on one frame. Held as it is, that frame would be a
// constant offset on the line and STOP would click; it fades to silence within 5 ms.
constexpr int32_t kPauseFadeFrames = 220;

struct FrameRun {
    int16_t* out;
    int frames;
    double position;  // read position before the first frame
    double step;      // source frames per output frame
    double limit;     // frames at or past this index are silence
    int32_t pausedFrames;  // frames rendered since the pause began (0 while playing)
};

struct RunResult {
    double position;   // read position after the last frame
    double lastIndex;  // rounded position of the last frame
    int32_t pausedFrames;
};

// The held frame, `pausedFrames` frames into the pause: scaled down step by step, truncated
// toward zero, silent from kPauseFadeFrames on.
inline void FadeHeldFrame(int16_t* out, int32_t pausedFrames) {
    const double gain = std::max(0, kPauseFadeFrames - 1 - pausedFrames) / static_cast<double>(kPauseFadeFrames);
    out[0] = static_cast<int16_t>(out[0] * gain);
    out[1] = static_cast<int16_t>(out[1] * gain);
}

template <class Reader>
RunResult RenderFrames(const Reader& read, FrameRun run, const std::atomic<bool>& paused) {
    double position = run.position;
    double index = RoundHalfEven(position);
    int32_t pausedFrames = run.pausedFrames;
    for (int i = 0; i < run.frames; ++i) {
        index = RoundHalfEven(position);
        int16_t* out = run.out + 2 * i;
        if (index >= 0.0 && index < run.limit) {
            read(static_cast<int32_t>(index), out);
        } else {
            out[0] = 0;
            out[1] = 0;
        }
        // Looked at for every frame, so a pause takes effect within the block.
        if (paused.load(std::memory_order_relaxed)) {
            FadeHeldFrame(out, pausedFrames);
            pausedFrames = std::min(pausedFrames + 1, kPauseFadeFrames);
        } else {
            pausedFrames = 0;
            position += run.step;
        }
    }
    return {position, index, pausedFrames};
}

RunResult RenderDocument(const AudioDocument& doc, FrameRun run,
                         const std::atomic<bool>& paused) {
    return WithFrameReader(doc, [&](const auto& read) { return RenderFrames(read, run, paused); });
}

int32_t WholeFrames(const AudioDocument& doc) {
    if (doc.SampleData == nullptr) return 0;
    return std::max(doc.FrameCount(), 0);
}

}  // namespace

void FillBuffer(PlaybackState& state, const AudioDocument& doc, int16_t* output,
                int32_t bytes) {
    const double speed = ClampSpeedFactor(state.SpeedFactor.load());
    const double pitch = state.PitchFactor.load();
    const int32_t frameCount = WholeFrames(doc);
    state.FrameCount.store(frameCount);

    const int frames = bytes / 4;
    if (frames <= 0) return;

    const int32_t rangeStart = state.RangeStart.load();
    const int32_t rangeEnd = state.RangeEnd.load();
    const int32_t channels = doc.IsStereo ? 2 : 1;
    const double start = state.PlayPosition.load();
    const FrameRun run{output, frames, start, (doc.SampleRate.load() / 44100.0) * speed,
                       static_cast<double>(std::min(rangeEnd, frameCount)), state.PausedFrames.load()};
    const RunResult result = RenderDocument(doc, run, state.Paused);
    state.PausedFrames.store(result.pausedFrames);

    double position = result.position;
    int32_t readIndex = ToSamplePosition(result.lastIndex, channels);
    // The loop test is made once, after the block: the frames past the end were
    // silence already.
    if (state.Loop.load() && (position >= rangeEnd || position >= frameCount)) {
        position = rangeStart;
        readIndex = ToSamplePosition(rangeStart, channels);
    }
    state.ReadIndex.store(readIndex);
    // The play loop only ever sees a position inside the range or the final one.
    // A rewind or click made while the block was rendered wins over this block's.
    double expected = start;
    state.PlayPosition.compare_exchange_strong(expected, position);

    for (int first = 0; first < frames; first += kPitchBlockFrames) {
        PitchShiftBlock(output + 2 * first, std::min(kPitchBlockFrames, frames - first), pitch);
    }
}

}  // namespace sonvira
