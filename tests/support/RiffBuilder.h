#pragma once
// Builds RIFF files byte by byte for reader tests, including malformed ones.

#include <cstdint>
#include <string>
#include <vector>

namespace sonvira::test {

class RiffBuilder {
public:
    RiffBuilder& Raw(const std::string& text) {
        bytes_.insert(bytes_.end(), text.begin(), text.end());
        return *this;
    }
    RiffBuilder& U32(uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<uint8_t>(v >> (8 * i)));
        return *this;
    }
    RiffBuilder& U16(uint16_t v) {
        bytes_.push_back(static_cast<uint8_t>(v));
        bytes_.push_back(static_cast<uint8_t>(v >> 8));
        return *this;
    }
    RiffBuilder& Bytes(const std::vector<uint8_t>& b) {
        bytes_.insert(bytes_.end(), b.begin(), b.end());
        return *this;
    }
    // A chunk with its size taken from the payload (padded to even length).
    RiffBuilder& Chunk(const std::string& id, const std::vector<uint8_t>& payload) {
        Raw(id).U32(static_cast<uint32_t>(payload.size())).Bytes(payload);
        if (payload.size() & 1) bytes_.push_back(0);
        return *this;
    }
    // The 16-byte PCM format record, optionally followed by extra bytes.
    static std::vector<uint8_t> Format(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits,
                                       size_t extra = 0) {
        RiffBuilder b;
        const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
        b.U16(tag).U16(channels).U32(rate).U32(rate * align).U16(align).U16(bits);
        b.bytes_.resize(b.bytes_.size() + extra, 0);
        return b.bytes_;
    }
    // Wraps the chunks built so far into "RIFF" size "WAVE" with a correct size.
    std::vector<uint8_t> Wave() const {
        RiffBuilder out;
        out.Raw("RIFF").U32(static_cast<uint32_t>(bytes_.size() + 4)).Raw("WAVE").Bytes(bytes_);
        return out.bytes_;
    }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

}  // namespace sonvira::test
