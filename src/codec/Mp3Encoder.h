#pragma once
// The encoder steps MP3 export drives (configure, encode chunks, flush, close), behind one
// small interface so that the export can be tested with a fake encoder; LameEncoder is the
// real one over libmp3lame. One encoder object encodes one file; single thread.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace sonvira {

inline constexpr int BE_MP3_MODE_STEREO = 0;
inline constexpr int BE_MP3_MODE_MONO = 3;
inline constexpr int LQP_HIGH_QUALITY = 2;

// The encoder configuration (the LAME form of the BladeEnc record).
struct BeConfig {
    uint32_t dwSampleRate = 0;    // Hz of the samples handed in (the document's rate)
    uint32_t dwReSampleRate = 0;  // Hz of the MP3
    int nMode = BE_MP3_MODE_STEREO;
    uint32_t dwBitrate = 0;       // kbit/s, constant
    uint32_t dwMaxBitrate = 0;
    int nPreset = LQP_HIGH_QUALITY;
    uint32_t dwMpegVersion = 1;
    uint32_t dwPsyModel = 0;
    uint32_t dwEmphasis = 0;
    bool bPrivate = false;
    bool bCRC = false;
    bool bCopyright = true;
    bool bOriginal = true;
    bool bWriteVBRHeader = false;
    bool bEnableVBR = false;
    int nVBRQuality = 0;
};

class Mp3Encoder {
public:
    virtual ~Mp3Encoder() = default;
    // Configures the stream. Returns 0 and the output buffer size one chunk of up to 2500
    // values (and the flush) needs, or non-zero when the configuration is refused.
    virtual int InitStream(const BeConfig& config, size_t& outputBufferSize) = 0;
    // Encodes `count` interleaved 16-bit values (both channels counted). Returns 0 and the
    // bytes of MP3 now in `out`, or non-zero.
    virtual int EncodeChunk(const int16_t* values, size_t count, uint8_t* out, size_t& outBytes) = 0;
    // Flushes the last MP3 data into `out`. Returns 0 or non-zero.
    virtual int DeinitStream(uint8_t* out, size_t& outBytes) = 0;
    // Releases the stream; safe to call after any step and more than once.
    virtual void CloseStream() = 0;
};

// The libmp3lame encoder: CBR, no CRC, no VBR/Xing frame and no ID3 tag, quality 2.
std::unique_ptr<Mp3Encoder> MakeLameEncoder();

}  // namespace sonvira
