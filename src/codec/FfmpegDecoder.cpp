#include "FfmpegDecoder.h"

#include <algorithm>
#include <iterator>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include "TpdfDither.h"

namespace sonvira {
namespace {

// Demuxers of the sound formats: FLAC, Ogg (Vorbis, Opus, FLAC), MP4/M4A/3GP, AIFF, WAV/W64,
// ADTS AAC, MP3, CAF, Sun audio, WavPack, Monkey's Audio, ASF (WMA), AC-3, E-AC-3, DTS, TTA,
// AMR; and of the video containers whose sound is taken: Matroska/WebM, AVI, FLV (MP4 is
// "mov"). Nothing that opens other files or URLs (playlists, concat scripts, image
// sequences), and no raw video demuxer.
constexpr const char* kDemuxers =
    "flac,ogg,mov,mp4,m4a,3gp,aiff,wav,w64,aac,mp3,matroska,webm,caf,"
    "au,wv,ape,asf,ac3,eac3,dts,tta,amr,avi,flv";

// The audio codecs decoded. Every other decoder stays closed, also while FFmpeg probes a
// file: no video decoder ever runs (a film's pictures and a file's cover art are skipped),
// and no rarely used decoder is reachable from a file's bytes.
constexpr AVCodecID kDecodedCodecs[] = {
    AV_CODEC_ID_PCM_U8,        AV_CODEC_ID_PCM_S8,        AV_CODEC_ID_PCM_S16LE,
    AV_CODEC_ID_PCM_S16BE,     AV_CODEC_ID_PCM_S24LE,     AV_CODEC_ID_PCM_S24BE,
    AV_CODEC_ID_PCM_S32LE,     AV_CODEC_ID_PCM_S32BE,     AV_CODEC_ID_PCM_F32LE,
    AV_CODEC_ID_PCM_F32BE,     AV_CODEC_ID_PCM_F64LE,     AV_CODEC_ID_PCM_F64BE,
    AV_CODEC_ID_PCM_ALAW,      AV_CODEC_ID_PCM_MULAW,     AV_CODEC_ID_ADPCM_MS,
    AV_CODEC_ID_ADPCM_IMA_WAV, AV_CODEC_ID_ADPCM_IMA_QT,  AV_CODEC_ID_GSM_MS,
    AV_CODEC_ID_FLAC,          AV_CODEC_ID_ALAC,          AV_CODEC_ID_VORBIS,
    AV_CODEC_ID_OPUS,          AV_CODEC_ID_AAC,           AV_CODEC_ID_MP2,
    AV_CODEC_ID_MP3,           AV_CODEC_ID_AC3,           AV_CODEC_ID_EAC3,
    AV_CODEC_ID_DTS,           AV_CODEC_ID_TTA,           AV_CODEC_ID_WAVPACK,
    AV_CODEC_ID_APE,           AV_CODEC_ID_WMAV1,         AV_CODEC_ID_WMAV2,
    AV_CODEC_ID_WMAPRO,        AV_CODEC_ID_WMALOSSLESS,   AV_CODEC_ID_WMAVOICE,
    AV_CODEC_ID_AMR_NB,        AV_CODEC_ID_AMR_WB,
};

bool IsDecodedCodec(AVCodecID id) {
    return std::find(std::begin(kDecodedCodecs), std::end(kDecodedCodecs), id) !=
           std::end(kDecodedCodecs);
}

// The names of every decoder FFmpeg has for those codecs (MP3 has "mp3float" and "mp3",
// Opus its own and libopus), for FFmpeg's own check of each decoder it opens.
const std::string& DecoderWhitelist() {
    static const std::string names = [] {
        std::string list;
        void* at = nullptr;
        while (const AVCodec* codec = av_codec_iterate(&at)) {
            if (!av_codec_is_decoder(codec) || !IsDecodedCodec(codec->id)) continue;
            if (!list.empty()) list += ',';
            list += codec->name;
        }
        return list;
    }();
    return names;
}

struct FormatCloser {
    void operator()(AVFormatContext* f) const { avformat_close_input(&f); }
};
struct CodecCloser {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct SwrCloser {
    void operator()(SwrContext* s) const { swr_free(&s); }
};
struct PacketCloser {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct FrameCloser {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};

// Whether decoded samples of this format carry more than 16 bits.
bool IsWide(const AVCodecContext& codec) {
    switch (av_get_packed_sample_fmt(codec.sample_fmt)) {
        case AV_SAMPLE_FMT_U8:
        case AV_SAMPLE_FMT_S16:
            return false;
        case AV_SAMPLE_FMT_S32:
            return !(codec.bits_per_raw_sample > 0 && codec.bits_per_raw_sample <= 16);
        default:
            return true;
    }
}

class FfmpegDecoder final : public SoundDecoder {
public:
    bool Open(const std::string& path) override;
    const DecodedStreamInfo& Info() const override { return info_; }
    DecodeStep Next(std::vector<int16_t>& samples) override;
    int PercentDone() const override;

private:
    bool OpenInput(const std::string& path);
    bool OpenCodec();
    bool OpenResampler();
    int64_t AnnouncedFrames() const;
    // Converts the frame in `frame_` into `samples`; false on a conversion error.
    bool Convert(std::vector<int16_t>& samples);
    // A clean end that falls well short of the announced length counts as damage.
    DecodeStep Ending() const;

    std::unique_ptr<AVFormatContext, FormatCloser> format_;
    std::unique_ptr<AVCodecContext, CodecCloser> codec_;
    std::unique_ptr<SwrContext, SwrCloser> swr_;
    std::unique_ptr<AVPacket, PacketCloser> packet_{av_packet_alloc()};
    std::unique_ptr<AVFrame, FrameCloser> frame_{av_frame_alloc()};
    std::vector<float> wide_;  // converted samples before dithering
    TpdfDither dither_;
    DecodedStreamInfo info_;
    int stream_ = -1;
    int inChannels_ = 0;  // the decoder's channels the resampler was set up for
    bool wide_source_ = false;
    bool flushing_ = false;  // the demuxer has ended; the decoder gives what it still holds
    int64_t decodedFrames_ = 0;
};

bool FfmpegDecoder::OpenInput(const std::string& path) {
    AVFormatContext* raw = avformat_alloc_context();
    if (!raw) return false;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    av_dict_set(&options, "format_whitelist", kDemuxers, 0);
    av_dict_set(&options, "codec_whitelist", DecoderWhitelist().c_str(), 0);
    // "file:" makes a name with a colon in it a file name, not a protocol.
    const int opened = avformat_open_input(&raw, ("file:" + path).c_str(), nullptr, &options);
    av_dict_free(&options);
    if (opened < 0) return false;  // raw is freed on failure
    format_.reset(raw);
    if (avformat_find_stream_info(raw, nullptr) < 0) return false;
    stream_ = av_find_best_stream(raw, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    return stream_ >= 0;
}

bool FfmpegDecoder::OpenCodec() {
    const AVCodecParameters* params = format_->streams[stream_]->codecpar;
    if (!IsDecodedCodec(params->codec_id)) return false;
    const AVCodec* decoder = avcodec_find_decoder(params->codec_id);
    if (!decoder) return false;
    codec_.reset(avcodec_alloc_context3(decoder));
    if (!codec_ || avcodec_parameters_to_context(codec_.get(), params) < 0) return false;
    codec_->thread_count = 0;  // as many decoding threads as cores, where the codec can (FLAC)
    AVDictionary* options = nullptr;
    av_dict_set(&options, "codec_whitelist", DecoderWhitelist().c_str(), 0);
    const int opened = avcodec_open2(codec_.get(), decoder, &options);
    av_dict_free(&options);
    if (opened < 0) return false;
    if (codec_->sample_rate <= 0 || codec_->ch_layout.nb_channels <= 0) return false;
    // Only the chosen stream's packets are wanted; the demuxer may drop the rest early.
    for (unsigned i = 0; i < format_->nb_streams; ++i)
        if (static_cast<int>(i) != stream_) format_->streams[i]->discard = AVDISCARD_ALL;
    return true;
}

bool FfmpegDecoder::OpenResampler() {
    AVChannelLayout in{};
    if (codec_->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&in, codec_->ch_layout.nb_channels);
    else if (av_channel_layout_copy(&in, &codec_->ch_layout) < 0)
        return false;
    AVChannelLayout out{};
    av_channel_layout_default(&out, in.nb_channels == 1 ? 1 : 2);
    SwrContext* raw = nullptr;
    const AVSampleFormat outFormat = wide_source_ ? AV_SAMPLE_FMT_FLT : AV_SAMPLE_FMT_S16;
    const int made = swr_alloc_set_opts2(&raw, &out, outFormat, codec_->sample_rate, &in,
                                         codec_->sample_fmt, codec_->sample_rate, 0, nullptr);
    inChannels_ = in.nb_channels;
    av_channel_layout_uninit(&in);
    info_.channels = out.nb_channels;
    av_channel_layout_uninit(&out);
    if (made < 0 || !raw) return false;
    swr_.reset(raw);
    // A mixdown adds channels together; scaled so that full-scale channels cannot clip.
    if (av_opt_set_double(raw, "rematrix_maxval", 1.0, 0) < 0) return false;
    return swr_init(raw) >= 0;
}

int64_t FfmpegDecoder::AnnouncedFrames() const {
    const AVStream* stream = format_->streams[stream_];
    const AVRational perFrame{1, codec_->sample_rate};
    if (stream->duration > 0) return av_rescale_q(stream->duration, stream->time_base, perFrame);
    if (format_->duration > 0) return av_rescale_q(format_->duration, AV_TIME_BASE_Q, perFrame);
    return -1;
}

bool FfmpegDecoder::Open(const std::string& path) {
    if (!packet_ || !frame_ || !OpenInput(path) || !OpenCodec()) return false;
    wide_source_ = IsWide(*codec_);
    if (!OpenResampler()) return false;
    info_.rate = codec_->sample_rate;
    info_.announcedFrames = AnnouncedFrames();
    return true;
}

bool FfmpegDecoder::Convert(std::vector<int16_t>& samples) {
    // The resampler reads as many channel planes as it was set up for: a stream that changes
    // its format midway (chained Ogg streams) would make it read past the frame's planes.
    if (frame_->ch_layout.nb_channels != inChannels_ || frame_->format != codec_->sample_fmt ||
        frame_->sample_rate != info_.rate)
        return false;
    const int frames = frame_->nb_samples;
    const size_t count = static_cast<size_t>(frames) * static_cast<size_t>(info_.channels);
    samples.resize(count);
    uint8_t* target = nullptr;
    if (wide_source_) {
        wide_.resize(count);
        target = reinterpret_cast<uint8_t*>(wide_.data());
    } else {
        target = reinterpret_cast<uint8_t*>(samples.data());
    }
    // Same rate in and out: every input frame comes out at once.
    const int converted = swr_convert(swr_.get(), &target, frames,
                                      const_cast<const uint8_t**>(frame_->extended_data), frames);
    if (converted < 0) return false;
    const size_t got = static_cast<size_t>(converted) * static_cast<size_t>(info_.channels);
    samples.resize(got);
    if (wide_source_) dither_.Reduce(wide_.data(), got, samples.data());
    decodedFrames_ += converted;
    return true;
}

DecodeStep FfmpegDecoder::Ending() const {
    const int64_t announced = info_.announcedFrames;
    if (announced <= 0) return DecodeStep::End;
    // Codec delay and padding move the end by some milliseconds; a cut file misses more.
    const int64_t slack = std::max<int64_t>(info_.rate / 10, announced / 50);
    return decodedFrames_ + slack < announced ? DecodeStep::Failed : DecodeStep::End;
}

DecodeStep FfmpegDecoder::Next(std::vector<int16_t>& samples) {
    samples.clear();
    for (;;) {
        const int received = avcodec_receive_frame(codec_.get(), frame_.get());
        if (received == 0) {
            const bool ok = Convert(samples);
            av_frame_unref(frame_.get());
            if (!ok) return DecodeStep::Failed;
            if (!samples.empty()) return DecodeStep::Block;
            continue;
        }
        if (received == AVERROR_EOF) return Ending();
        if (received != AVERROR(EAGAIN)) return DecodeStep::Failed;
        if (flushing_) return DecodeStep::Failed;  // cannot happen: a drained decoder says EOF

        const int read = av_read_frame(format_.get(), packet_.get());
        if (read == AVERROR_EOF) {
            flushing_ = true;
            if (avcodec_send_packet(codec_.get(), nullptr) < 0) return DecodeStep::Failed;
            continue;
        }
        if (read < 0) return DecodeStep::Failed;
        int sent = 0;
        if (packet_->stream_index == stream_)
            sent = avcodec_send_packet(codec_.get(), packet_.get());
        av_packet_unref(packet_.get());
        if (sent < 0) return DecodeStep::Failed;
    }
}

int FfmpegDecoder::PercentDone() const {
    if (info_.announcedFrames > 0)
        return static_cast<int>(
            std::min<int64_t>(100, decodedFrames_ * 100 / info_.announcedFrames));
    AVIOContext* io = format_ ? format_->pb : nullptr;
    const int64_t size = io ? avio_size(io) : -1;
    if (size <= 0) return 0;
    return static_cast<int>(std::min<int64_t>(100, avio_tell(io) * 100 / size));
}

}  // namespace

std::unique_ptr<SoundDecoder> MakeFfmpegDecoder() {
    // FFmpeg would tell stderr about every damaged frame; the Open command reports a file it
    // cannot read in its own message box.
    av_log_set_level(AV_LOG_FATAL);
    return std::make_unique<FfmpegDecoder>();
}

}  // namespace sonvira
