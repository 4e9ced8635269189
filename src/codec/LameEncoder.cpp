#include <lame.h>

#include "Mp3Encoder.h"

namespace sonvira {
namespace {

class LameEncoder : public Mp3Encoder {
public:
    ~LameEncoder() override { CloseStream(); }

    int InitStream(const BeConfig& c, size_t& outputBufferSize) override {
        CloseStream();
        // LAME would take a rate of 0 for 44100 Hz; a document without a rate is refused.
        if (c.dwSampleRate == 0 || c.dwReSampleRate == 0 || c.dwBitrate == 0) return -1;
        gf_ = lame_init();
        if (!gf_) return -1;
        const bool mono = c.nMode == BE_MP3_MODE_MONO;
        lame_set_in_samplerate(gf_, static_cast<int>(c.dwSampleRate));
        lame_set_out_samplerate(gf_, static_cast<int>(c.dwReSampleRate));
        lame_set_num_channels(gf_, mono ? 1 : 2);
        lame_set_mode(gf_, mono ? MONO : STEREO);
        lame_set_VBR(gf_, c.bEnableVBR ? vbr_default : vbr_off);
        lame_set_brate(gf_, static_cast<int>(c.dwBitrate));
        lame_set_quality(gf_, c.nPreset == LQP_HIGH_QUALITY ? 2 : 5);
        lame_set_copyright(gf_, c.bCopyright ? 1 : 0);
        lame_set_original(gf_, c.bOriginal ? 1 : 0);
        lame_set_error_protection(gf_, c.bCRC ? 1 : 0);
        lame_set_extension(gf_, c.bPrivate ? 1 : 0);
        lame_set_emphasis(gf_, static_cast<int>(c.dwEmphasis));
        lame_set_bWriteVbrTag(gf_, c.bWriteVBRHeader ? 1 : 0);
        lame_set_write_id3tag_automatic(gf_, 0);
        if (lame_init_params(gf_) < 0) {
            CloseStream();
            return -1;
        }
        // LAME's worst case for one chunk: 1.25 × samples per channel + 7200 bytes.
        outputBufferSize = 2500 * 5 / 4 + 7200;
        mono_ = mono;
        return 0;
    }

    int EncodeChunk(const int16_t* values, size_t count, uint8_t* out, size_t& outBytes) override {
        outBytes = 0;
        if (!gf_) return -1;
        const size_t frames = mono_ ? count : count / 2;
        if (frames == 0) return 0;
        // LAME's input is not const-qualified but is only read.
        auto* pcm = const_cast<int16_t*>(values);
        const int n = mono_ ? lame_encode_buffer(gf_, pcm, pcm, static_cast<int>(frames), out, kOutSize)
                            : lame_encode_buffer_interleaved(gf_, pcm, static_cast<int>(frames), out, kOutSize);
        if (n < 0) return n;
        outBytes = static_cast<size_t>(n);
        return 0;
    }

    int DeinitStream(uint8_t* out, size_t& outBytes) override {
        outBytes = 0;
        if (!gf_) return -1;
        const int n = lame_encode_flush(gf_, out, kOutSize);
        if (n < 0) return n;
        outBytes = static_cast<size_t>(n);
        return 0;
    }

    void CloseStream() override {
        if (gf_) lame_close(gf_);
        gf_ = nullptr;
    }

private:
    static constexpr int kOutSize = 2500 * 5 / 4 + 7200;
    lame_global_flags* gf_ = nullptr;
    bool mono_ = false;
};

}  // namespace

std::unique_ptr<Mp3Encoder> MakeLameEncoder() { return std::make_unique<LameEncoder>(); }

}  // namespace sonvira
