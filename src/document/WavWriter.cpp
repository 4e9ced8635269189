#include <cstring>

#include "PendingFile.h"
#include "WavFile.h"

namespace sonvira {
namespace {

void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
void Put16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

}  // namespace

void MakeWavHeader(uint8_t h[44], bool stereo, bool is16Bit, int32_t rate, uint32_t dataSize) {
    const uint16_t channels = stereo ? 2 : 1;
    const uint16_t bytesPerSample = is16Bit ? 2 : 1;
    std::memcpy(h, "RIFF", 4);
    Put32(h + 4, 36 + dataSize + (dataSize & 1));
    std::memcpy(h + 8, "WAVEfmt ", 8);
    Put32(h + 16, 16);
    Put16(h + 20, 1);
    Put16(h + 22, channels);
    Put32(h + 24, static_cast<uint32_t>(rate));
    Put32(h + 28, static_cast<uint32_t>(rate) * channels * bytesPerSample);
    Put16(h + 32, static_cast<uint16_t>(channels * bytesPerSample));
    Put16(h + 34, static_cast<uint16_t>(bytesPerSample * 8));
    std::memcpy(h + 36, "data", 4);
    Put32(h + 40, dataSize);
}

bool WriteWav(const std::string& path, const uint8_t* block, bool stereo, bool is16Bit,
              int32_t rate, int32_t size) {
    if (size < 0 || (size > 0 && !block)) return false;
    const auto dataSize = static_cast<uint32_t>(size);
    uint8_t header[44];
    MakeWavHeader(header, stereo, is16Bit, rate, dataSize);

    PendingFile file(path);
    const uint8_t pad = 0;
    return file.Write(header, sizeof header) && file.Write(block, dataSize) &&
           ((dataSize & 1) == 0 || file.Write(&pad, 1)) && file.Commit();
}

}  // namespace sonvira
