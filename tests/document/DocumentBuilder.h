#pragma once
// Builds small documents from sample values and reads them back, for the editing tests.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "AudioDocument.h"

namespace sonvira::test {

inline void LoadBytes(AudioDocument& doc, const std::vector<uint8_t>& bytes, bool stereo,
                      bool is16Bit, int32_t rate = 8000) {
    auto* block = static_cast<uint8_t*>(std::malloc(bytes.empty() ? 1 : bytes.size()));
    if (!bytes.empty()) std::memcpy(block, bytes.data(), bytes.size());
    doc.InstallBlock(block, static_cast<int32_t>(bytes.size()), rate, stereo, is16Bit);
}

// 16-bit values, interleaved left then right for stereo.
inline void Load16(AudioDocument& doc, const std::vector<int>& values, bool stereo,
                   int32_t rate = 8000) {
    std::vector<uint8_t> bytes;
    for (int v : values) {
        const auto bits = static_cast<uint16_t>(v);
        bytes.push_back(static_cast<uint8_t>(bits & 0xFF));
        bytes.push_back(static_cast<uint8_t>(bits >> 8));
    }
    LoadBytes(doc, bytes, stereo, true, rate);
}

inline std::vector<uint8_t> Bytes(const AudioDocument& doc) {
    return std::vector<uint8_t>(doc.SampleData, doc.SampleData + doc.DataSize);
}

inline std::vector<int> Values16(const AudioDocument& doc) {
    std::vector<int> values;
    for (int32_t k = 0; k + 1 < doc.DataSize; k += 2) {
        values.push_back(
            static_cast<int16_t>(static_cast<uint16_t>(doc.SampleData[k] | (doc.SampleData[k + 1] << 8))));
    }
    return values;
}

// Bytes 0, 1, 2, … so that a test can tell where each byte came from.
inline std::vector<uint8_t> Counting(int size) {
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    for (int k = 0; k < size; ++k) bytes[static_cast<size_t>(k)] = static_cast<uint8_t>(k);
    return bytes;
}

}  // namespace sonvira::test
