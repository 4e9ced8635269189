#pragma once
// Reading the document's frames for the playback renderers: one reader per sample format,
// each giving a frame as 16-bit stereo, and the choice of reader for a document. Also the
// play marker's sample position of a frame.
// Pure functions; any thread that may read the document's block.

#include "AudioDocument.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>

namespace sonvira {

static_assert(std::endian::native == std::endian::little,
              "16-bit samples are copied from the little-endian block as they are");

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

// Runs `work` with the reader of the document's format (the format is chosen once, not per
// frame) and returns what it returns.
template <class Work>
decltype(auto) WithFrameReader(const AudioDocument& doc, Work&& work) {
    const uint8_t* data = doc.SampleData;
    if (doc.Is16Bit) {
        if (doc.IsStereo) return work(Stereo16Reader{data});
        return work(Mono16Reader{data});
    }
    if (doc.IsStereo) return work(Stereo8Reader{data});
    return work(Mono8Reader{data});
}

// A frame index as a sample position for the play marker, saturated to 32 bits
// (positions far outside the document only occur as silence).
inline int32_t ToSamplePosition(double frame, int32_t channels) {
    constexpr double kMin = std::numeric_limits<int32_t>::min();
    constexpr double kMax = std::numeric_limits<int32_t>::max();
    const double samples = std::clamp(frame, kMin, kMax) * channels;
    if (!(samples >= kMin)) return std::numeric_limits<int32_t>::min();  // also NaN
    if (samples > kMax) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(samples);
}

}  // namespace sonvira
