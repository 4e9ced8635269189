#include "Mp3CodecFormats.h"

#include "MpegFrameHeader.h"

namespace sonvira {
namespace {

void Put16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

constexpr int kLayer3Field = 1;

FormatRecord Mp3Format(int version, int rate, int channels, int kbps) {
    FormatRecord r;
    const auto avg = static_cast<uint32_t>(kbps * 1000 / 8);
    r.wfx = {WAVE_FORMAT_MPEGLAYER3, static_cast<uint16_t>(channels), static_cast<uint32_t>(rate),
             avg, 1, 0, 12};
    // MPEGLAYER3WAVEFORMAT tail: wID MPEG, fdwFlags PADDING_OFF, the frame size in bytes,
    // one frame per block, the decoder delay in samples.
    const int samplesPerFrame = version == kMpeg1 ? 1152 : 576;
    const auto frameBytes = static_cast<uint32_t>(samplesPerFrame / 8 * kbps * 1000 / rate);
    Put16(&r.extra[0], 1);
    Put16(&r.extra[2], 2);
    Put16(&r.extra[6], frameBytes);
    Put16(&r.extra[8], 1);
    Put16(&r.extra[10], 1393);
    return r;
}

}  // namespace

void EnumerateMp3CodecFormats(Mp3FormatList& formats) {
    for (int version : {kMpeg1, kMpeg2, kMpeg25}) {
        for (int rateIndex = 0; rateIndex < 3; ++rateIndex) {
            const int rate = MpegSampleRate(version, rateIndex);
            for (int channels = 1; channels <= 2; ++channels) {
                for (int index = 1; index < 15; ++index) {
                    formats.push_back(
                        Mp3Format(version, rate, channels, MpegBitRate(version, kLayer3Field, index)));
                }
            }
        }
    }
}

}  // namespace sonvira
