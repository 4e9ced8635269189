#include "TACMConvertor.h"

#include <mpg123.h>

#include <cstdio>
#include <mutex>

#include "MpegFrameHeader.h"

namespace sonvira {

struct TACMConvertor::Decoder {
    mpg123_handle* handle = nullptr;
    ~Decoder() {
        if (handle) mpg123_delete(handle);
    }
};

namespace {

// The most PCM frames one source byte can carry: Layer II/III at 8 kbit/s and 24000 Hz
// packs 576 frames into 24 bytes.
constexpr uint32_t kMaxFramesPerSourceByte = 24;
// One decoded frame that straddles two calls.
constexpr uint32_t kMaxFramesPerFrame = 1152;

bool IsMpegRate(uint32_t rate) {
    for (int version : {kMpeg1, kMpeg2, kMpeg25})
        for (int index = 0; index < 3; ++index)
            if (static_cast<uint32_t>(MpegSampleRate(version, index)) == rate) return true;
    return false;
}

// libmpg123 decodes any MPEG audio rate, mono or stereo, to 16-bit PCM of the same rate
// and channel count; everything else is refused at opening.
bool CanConvert(const WaveFormatEx& in, const WaveFormatEx& out) {
    return in.wFormatTag == WAVE_FORMAT_MPEGLAYER3 && (in.nChannels == 1 || in.nChannels == 2) &&
           IsMpegRate(in.nSamplesPerSec) && out.wFormatTag == WAVE_FORMAT_PCM &&
           out.wBitsPerSample == 16 && out.nChannels == in.nChannels &&
           out.nSamplesPerSec == in.nSamplesPerSec && out.nBlockAlign == out.nChannels * 2;
}

void InitLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
}

}  // namespace

TACMConvertor::TACMConvertor() = default;

TACMConvertor::TACMConvertor(const FormatRecord& formatIn, const FormatRecord& formatOut)
    : ACMFormatIn(formatIn), ACMFormatOut(formatOut) {}

TACMConvertor::~TACMConvertor() {
    if (active_) CloseStream();
}

void TACMConvertor::SetInputBufferSize(int32_t size) {
    if (active_) throw EACMConvertor("You cannot change the buffer size while active.");
    inputBufferSize_ = size;
}

void TACMConvertor::SetUseRealTime(bool realTime) {
    if (active_) throw EACMConvertor("You cannot change the real time flag while active.");
    useRealTime_ = realTime;
}

int TACMConvertor::OpenStream() {
    if (!CanConvert(ACMFormatIn.wfx, ACMFormatOut.wfx)) return ACMERR_NOTPOSSIBLE;
    InitLibrary();
    auto decoder = std::make_unique<Decoder>();
    int err = MPG123_OK;
    decoder->handle = mpg123_new(nullptr, &err);
    if (!decoder->handle) return MMSYSERR_NODRIVER;
    mpg123_handle* h = decoder->handle;
    const int channels = ACMFormatIn.wfx.nChannels == 2 ? MPG123_STEREO : MPG123_MONO;
    mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    if (mpg123_format_none(h) != MPG123_OK ||
        mpg123_format(h, static_cast<long>(ACMFormatIn.wfx.nSamplesPerSec), channels,
                      MPG123_ENC_SIGNED_16) != MPG123_OK)
        return ACMERR_NOTPOSSIBLE;
    if (mpg123_open_feed(h) != MPG123_OK) return MMSYSERR_NOMEM;
    decoder_ = std::move(decoder);
    return MMSYSERR_NOERROR;
}

int TACMConvertor::StreamSize(uint32_t sourceBytes, uint32_t& destinationBytes) const {
    if (!decoder_) return MMSYSERR_INVALHANDLE;
    if (sourceBytes == 0 || sourceBytes > (1u << 20)) return MMSYSERR_INVALPARAM;
    const uint32_t frameBytes = ACMFormatOut.wfx.nBlockAlign;
    destinationBytes = (sourceBytes * kMaxFramesPerSourceByte + kMaxFramesPerFrame) * frameBytes;
    return MMSYSERR_NOERROR;
}

void TACMConvertor::SetActive(bool active) {
    if (active == active_) return;
    if (!active) {
        CloseStream();
        return;
    }
    CheckResult("acmStreamOpen:", OpenStream());
    uint32_t destinationBytes = 0;
    const int sizeResult =
        inputBufferSize_ < 0 ? MMSYSERR_INVALPARAM
                             : StreamSize(static_cast<uint32_t>(inputBufferSize_), destinationBytes);
    if (sizeResult != MMSYSERR_NOERROR) {
        decoder_.reset();  // leave no stream behind a failed opening
        CheckResult("acmStreamSize:", sizeResult);
    }
    source_.assign(static_cast<size_t>(inputBufferSize_), 0);
    destination_.assign(destinationBytes, 0);
    destinationSize_ = destinationBytes;
    header_ = ACMStreamHeader{};
    header_.pbSrc = source_.data();
    header_.cbSrcLength = static_cast<uint32_t>(inputBufferSize_);
    header_.pbDst = destination_.data();
    header_.cbDstLength = destinationBytes;
    pending_ = false;
    active_ = true;
}

void TACMConvertor::CloseStream() {
    decoder_.reset();
    source_ = {};
    destination_ = {};
    destinationSize_ = 0;
    header_ = ACMStreamHeader{};
    pending_ = false;
    active_ = false;
}

int TACMConvertor::StreamConvert(uint32_t flags) {
    if (!active_) return MMSYSERR_INVALHANDLE;
    if ((flags & ~(ACM_STREAMCONVERTF_START | ACM_STREAMCONVERTF_END)) != 0) return MMSYSERR_INVALFLAG;
    ACMStreamHeader& hd = header_;
    hd.cbSrcLengthUsed = 0;
    hd.cbDstLengthUsed = 0;
    if (hd.cbSrcLength > source_.size() || hd.cbDstLength > destination_.size())
        return MMSYSERR_INVALPARAM;
    mpg123_handle* h = decoder_->handle;
    if (hd.cbSrcLength > 0) {
        if (mpg123_feed(h, hd.pbSrc, hd.cbSrcLength) != MPG123_OK) return MMSYSERR_NOMEM;
        hd.cbSrcLengthUsed = hd.cbSrcLength;
    }
    // Read until the decoder wants more input or the destination is full; whatever is
    // left stays inside the decoder for the next call.
    size_t used = 0;
    int result = MMSYSERR_NOERROR;
    while (used < hd.cbDstLength) {
        size_t done = 0;
        const int rc = mpg123_read(h, hd.pbDst + used, hd.cbDstLength - used, &done);
        used += done;
        if (rc == MPG123_NEED_MORE || rc == MPG123_DONE) break;
        if (rc != MPG123_OK && rc != MPG123_NEW_FORMAT) {
            result = ACMERR_NOTPOSSIBLE;
            break;
        }
    }
    hd.cbDstLengthUsed = static_cast<uint32_t>(used);
    pending_ = result == MMSYSERR_NOERROR && used == hd.cbDstLength;
    return result;
}

int TACMConvertor::StreamReset() {
    if (!active_) return MMSYSERR_INVALHANDLE;
    mpg123_handle* h = decoder_->handle;
    mpg123_close(h);
    pending_ = false;
    return mpg123_open_feed(h) == MPG123_OK ? MMSYSERR_NOERROR : MMSYSERR_NOMEM;
}

std::string TACMConvertor::ResultMessage(const std::string& prefix, int code) {
    switch (code) {
        case MMSYSERR_INVALHANDLE: return prefix + " The specified handle is invalid.";
        case MMSYSERR_NODRIVER:
            return prefix + " A suitable driver is not available to provide valid format selections.";
        case MMSYSERR_NOMEM: return prefix + " The system is unable to allocate resources.";
        case MMSYSERR_INVALFLAG: return prefix + " At least one flag is invalid.";
        case MMSYSERR_INVALPARAM: return prefix + " At least one parameter is invalid.";
        case ACMERR_NOTPOSSIBLE: return prefix + " The requested operation cannot be performed.";
        case ACMERR_BUSY: return prefix + " The conversion stream is already in use.";
        case ACMERR_UNPREPARED:
            return prefix + " Cannot perform this action on a header that has not been prepared.";
        default: return prefix + " raised an unknown error (code #" + std::to_string(code) + ")";
    }
}

void TACMConvertor::CheckResult(const std::string& prefix, int code) {
    if (code != MMSYSERR_NOERROR) throw EACMConvertor(ResultMessage(prefix, code));
}

}  // namespace sonvira
