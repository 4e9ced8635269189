#include "FormatRecord.h"

#include <algorithm>
#include <cstring>

namespace sonvira {
namespace {

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Get32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
void Put16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

void WaveFormatEx::Load(const uint8_t* b, size_t n) {
    // Start from the current bytes so that a short record keeps the fields it lacks.
    auto all = Bytes();
    std::memcpy(all.data(), b, std::min(n, all.size()));
    wFormatTag = Get16(&all[0]);
    nChannels = Get16(&all[2]);
    nSamplesPerSec = Get32(&all[4]);
    nAvgBytesPerSec = Get32(&all[8]);
    nBlockAlign = Get16(&all[12]);
    wBitsPerSample = Get16(&all[14]);
    cbSize = Get16(&all[16]);
}

std::array<uint8_t, kWaveFormatExSize> WaveFormatEx::Bytes() const {
    std::array<uint8_t, kWaveFormatExSize> b{};
    Put16(&b[0], wFormatTag);
    Put16(&b[2], nChannels);
    Put32(&b[4], nSamplesPerSec);
    Put32(&b[8], nAvgBytesPerSec);
    Put16(&b[12], nBlockAlign);
    Put16(&b[14], wBitsPerSample);
    Put16(&b[16], cbSize);
    return b;
}

FormatRecord FormatRecord::FromBytes(const uint8_t* bytes, size_t n) {
    std::array<uint8_t, kFormatRecordSize> all{};
    std::memcpy(all.data(), bytes, std::min(n, all.size()));
    FormatRecord r;
    r.wfx.Load(all.data(), kWaveFormatExSize);
    std::memcpy(r.extra.data(), all.data() + kWaveFormatExSize, r.extra.size());
    return r;
}

std::array<uint8_t, kFormatRecordSize> FormatRecord::Bytes() const {
    std::array<uint8_t, kFormatRecordSize> all{};
    const auto head = wfx.Bytes();
    std::memcpy(all.data(), head.data(), head.size());
    std::memcpy(all.data() + head.size(), extra.data(), extra.size());
    return all;
}

FormatRecord StoredMp3FormatIn() {
    FormatRecord r;
    r.wfx = {WAVE_FORMAT_MPEGLAYER3, 2, 24000, 7000, 1, 0, 12};
    // MPEGLAYER3WAVEFORMAT tail: wID MPEG, flags PADDING_OFF, block 168, 1 frame, delay 1393.
    Put16(&r.extra[0], 1);
    Put32(&r.extra[2], 2);
    Put16(&r.extra[6], 168);
    Put16(&r.extra[8], 1);
    Put16(&r.extra[10], 1393);
    return r;
}

FormatRecord StoredPcmFormatOut() {
    FormatRecord r;
    r.wfx = {WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 129};
    return r;
}

}  // namespace sonvira
