#include "MpegFrameHeader.h"

namespace sonvira {
namespace {

// Rows: Layer I, II, III (indexed by 3 - layer field); columns: bit-rate index 0…14.
constexpr int kMpeg1Rates[3][15] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
};
constexpr int kLsfRates[3][15] = {
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
};

}  // namespace

int FrameVersion(const uint8_t h[4]) { return (h[1] >> 3) & 3; }
int FrameLayer(const uint8_t h[4]) { return (h[1] >> 1) & 3; }

bool IsValidFrameHeader(const uint8_t h[4]) {
    const bool sync = h[0] == 0xFF && (h[1] & 0xE0) == 0xE0;
    const int rateIndex = (h[2] >> 2) & 3;
    const int bitRateIndex = h[2] >> 4;
    return sync && FrameLayer(h) != 0 && rateIndex < 3 && bitRateIndex < 15 &&
           FrameVersion(h) != kMpegReserved;
}

int MpegSampleRate(int version, int rateIndex) {
    if (rateIndex < 0 || rateIndex > 2) return 0;
    constexpr int kBase[3] = {44100, 48000, 32000};
    switch (version) {
        case kMpeg1: return kBase[rateIndex];
        case kMpeg2: return kBase[rateIndex] / 2;
        case kMpeg25: return kBase[rateIndex] / 4;
        default: return 0;
    }
}

int MpegBitRate(int version, int layerField, int bitRateIndex) {
    if (layerField < 1 || layerField > 3 || bitRateIndex < 0 || bitRateIndex > 14) return 0;
    if (bitRateIndex == 0) bitRateIndex = 1;
    const auto& table = version == kMpeg1 ? kMpeg1Rates : kLsfRates;
    return table[3 - layerField][bitRateIndex];
}

FrameParams ParseFrameHeader(const uint8_t h[4]) {
    FrameParams p;
    p.sampleRate = MpegSampleRate(FrameVersion(h), (h[2] >> 2) & 3);
    p.bitRate = MpegBitRate(FrameVersion(h), FrameLayer(h), h[2] >> 4);
    p.stereo = (h[3] >> 6) != 3;
    return p;
}

}  // namespace sonvira
