#pragma once
// Value access to the document's block by frame and channel, for the effects.
// 16-bit values are read and written little-endian whatever the machine's order.

#include <cstdint>

#include "AudioDocument.h"

namespace sonvira {

inline int ReadS16(const uint8_t* p) {
    return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
}

// Stores the low 16 bits of `value`.
inline void WriteS16(uint8_t* p, int value) {
    const auto bits = static_cast<uint16_t>(value);
    p[0] = static_cast<uint8_t>(bits & 0xFF);
    p[1] = static_cast<uint8_t>(bits >> 8);
}

class SampleView {
public:
    explicit SampleView(AudioDocument& doc)
        : data_(doc.SampleData),
          bpf_(doc.BytesPerFrame()),
          channels_(doc.Channels()),
          is16Bit_(doc.Is16Bit) {}

    bool Is16Bit() const { return is16Bit_; }
    int Channels() const { return channels_; }
    int BytesPerFrame() const { return bpf_; }
    uint8_t* FrameBytes(int64_t frame) const { return data_ + frame * bpf_; }

    // The stored value: -32768 … 32767 for 16 bits, the unsigned byte 0 … 255 for 8 bits.
    int Get(int64_t frame, int channel) const {
        const uint8_t* p = FrameBytes(frame) + channel * (is16Bit_ ? 2 : 1);
        return is16Bit_ ? ReadS16(p) : *p;
    }

    // Stores `value` in the sample's width; the caller has brought it into range.
    void Set(int64_t frame, int channel, int value) const {
        uint8_t* p = FrameBytes(frame) + channel * (is16Bit_ ? 2 : 1);
        if (is16Bit_) {
            WriteS16(p, value);
        } else {
            *p = static_cast<uint8_t>(value);
        }
    }

private:
    uint8_t* data_;
    int bpf_;
    int channels_;
    bool is16Bit_;
};

}  // namespace sonvira
