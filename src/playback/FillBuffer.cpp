#include "FillBuffer.h"

#include "Factors.h"
#include "PairedFft.h"
#include "PitchShiftBlock.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

namespace sonvira {

namespace {

static_assert(std::endian::native == std::endian::little,
              "16-bit samples are copied from the little-endian block as they are");

// Nearest integer with halves to even, exact for |v| < 2^51 in the default rounding
// mode: once 1.5 × 2^52 is added no fraction bits are left, and that addition rounds
// halves to even. Two additions instead of a call to the maths library per frame.
inline double RoundHalfEven(double v) {
    constexpr double kShift = 6755399441055744.0;
    return (v + kShift) - kShift;
}

// Source frame → one 16-bit stereo output frame, one reader per document format.
struct Stereo16Reader {
    const uint8_t* data;
    void operator()(int32_t frame, int16_t* out) const {
        std::memcpy(out, data + 4 * static_cast<size_t>(frame), 4);
    }
};

struct Mono16Reader {
    const uint8_t* data;
    void operator()(int32_t frame, int16_t* out) const {
        int16_t v;
        std::memcpy(&v, data + 2 * static_cast<size_t>(frame), 2);
        out[0] = v;
        out[1] = v;
    }
};

// 8-bit bytes have their zero line at 128: 0, 128, 255 become −32768, 0, 32512.
inline int16_t From8Bit(uint8_t byte) { return static_cast<int16_t>((byte - 128) * 256); }

struct Stereo8Reader {
    const uint8_t* data;
    void operator()(int32_t frame, int16_t* out) const {
        const uint8_t* p = data + 2 * static_cast<size_t>(frame);
        out[0] = From8Bit(p[0]);
        out[1] = From8Bit(p[1]);
    }
};

struct Mono8Reader {
    const uint8_t* data;
    void operator()(int32_t frame, int16_t* out) const {
        const int16_t v = From8Bit(data[frame]);
        out[0] = v;
        out[1] = v;
    }
};

struct FrameRun {
    int16_t* out;
    int frames;
    double position;  // read position before the first frame
    double step;      // source frames per output frame
    double limit;     // frames at or past this index are silence
};

struct RunResult {
    double position;   // read position after the last frame
    double lastIndex;  // rounded position of the last frame
};

template <class Reader>
RunResult RenderFrames(const Reader& read, FrameRun run, const std::atomic<bool>& paused) {
    double position = run.position;
    double index = RoundHalfEven(position);
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
        if (!paused.load(std::memory_order_relaxed)) position += run.step;
    }
    return {position, index};
}

RunResult RenderDocument(const AudioDocument& doc, FrameRun run,
                         const std::atomic<bool>& paused) {
    const uint8_t* data = doc.SampleData;
    if (doc.Is16Bit) {
        if (doc.IsStereo) return RenderFrames(Stereo16Reader{data}, run, paused);
        return RenderFrames(Mono16Reader{data}, run, paused);
    }
    if (doc.IsStereo) return RenderFrames(Stereo8Reader{data}, run, paused);
    return RenderFrames(Mono8Reader{data}, run, paused);
}

int32_t WholeFrames(const AudioDocument& doc) {
    if (doc.SampleData == nullptr) return 0;
    return std::max(doc.FrameCount(), 0);
}

// A frame index as a sample position for the play marker, saturated to 32 bits
// (positions far outside the document only occur as silence).
int32_t ToSamplePosition(double frame, int32_t channels) {
    constexpr double kMin = std::numeric_limits<int32_t>::min();
    constexpr double kMax = std::numeric_limits<int32_t>::max();
    const double samples = std::clamp(frame, kMin, kMax) * channels;
    if (!(samples >= kMin)) return std::numeric_limits<int32_t>::min();  // also NaN
    if (samples > kMax) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(samples);
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
                       static_cast<double>(std::min(rangeEnd, frameCount))};
    const RunResult result = RenderDocument(doc, run, state.Paused);

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
