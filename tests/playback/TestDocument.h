#pragma once
// Builds an AudioDocument from raw bytes for the renderer's tests.

#include "AudioDocument.h"
#include "ScalarReferenceRenderer.h"

#include <cstdlib>
#include <cstring>
#include <random>

namespace sonvira::test {

inline void Load(AudioDocument& doc, const reference::Document& src) {
    auto* block = static_cast<uint8_t*>(std::malloc(src.data.empty() ? 1 : src.data.size()));
    if (!src.data.empty()) std::memcpy(block, src.data.data(), src.data.size());
    doc.InstallBlock(block, static_cast<int32_t>(src.data.size()), src.rate, src.stereo,
                     src.is16);
}

inline void Put16(std::vector<uint8_t>& bytes, int16_t v) {
    const auto u = static_cast<uint16_t>(v);
    bytes.push_back(static_cast<uint8_t>(u & 0xFF));
    bytes.push_back(static_cast<uint8_t>(u >> 8));
}

inline reference::Document RandomDocument(int32_t frames, int32_t rate, bool stereo, bool is16,
                                      uint32_t seed) {
    reference::Document d{{}, rate, stereo, is16};
    std::mt19937 rng(seed);
    const int32_t bytes = frames * (stereo ? 2 : 1) * (is16 ? 2 : 1);
    for (int32_t i = 0; i < bytes; ++i) d.data.push_back(static_cast<uint8_t>(rng()));
    return d;
}

// A 16-bit mono document whose frame f holds 8f + 4: a frame survives the pitch
// shifter's possible one step toward zero as value / 8 = f.
inline reference::Document RampDocument(int32_t frames, int32_t rate) {
    reference::Document d{{}, rate, false, true};
    for (int32_t f = 0; f < frames; ++f) Put16(d.data, static_cast<int16_t>(8 * f + 4));
    return d;
}

}  // namespace sonvira::test
