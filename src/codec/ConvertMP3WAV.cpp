#include "ConvertMP3WAV.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "MpegFrameHeader.h"
#include "WavFile.h"

namespace sonvira {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

uint32_t Get32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

using ReadAt = std::function<size_t(int64_t, uint8_t*, size_t)>;

// First position from `pos` on whose byte is not zero (the end when there is none).
int64_t SkipZeros(const ReadAt& readAt, int64_t pos) {
    uint8_t b = 0;
    while (readAt(pos, &b, 1) == 1 && b == 0) ++pos;
    return pos;
}

// "RIFF" size "WAVE" "fmt " size and the format record: the MP3 data begins at 66.
bool ReadRiffWrapper(const ReadAt& readAt, Mp3Start& start) {
    uint8_t head[20];
    if (readAt(0, head, sizeof head) != sizeof head) return false;
    if (std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "WAVEfmt ", 8) != 0) return false;
    const uint32_t chunkSize = Get32(head + 16);
    const size_t want = chunkSize < kWaveFormatExSize ? chunkSize : kWaveFormatExSize;
    uint8_t fmt[kWaveFormatExSize] = {};
    // A wrapper cut short inside its own headers holds no sound at all.
    if (readAt(20, fmt, want) != want) return false;
    start.wrapperFormat = WaveFormatEx{0, 0, 0, 0, 0, 0, 0};
    start.wrapperFormat.Load(fmt, want);
    start.riffWrapped = true;
    start.found = true;
    start.offset = 66;
    return true;
}

}  // namespace

Mp3Start FindMp3Start(const ReadAt& readAt) {
    Mp3Start start;
    uint8_t h[4] = {};
    if (readAt(0, h, 4) == 4 && std::memcmp(h, "RIFF", 4) == 0 && ReadRiffWrapper(readAt, start))
        return start;
    int64_t p = 0;
    bool have = readAt(p, h, 4) == 4;
    if (have && Get32(h) == 0) {
        p = SkipZeros(readAt, p);
        have = readAt(p, h, 4) == 4;
    }
    if (have && std::memcmp(h, "ID3", 3) == 0) {
        uint8_t tag[10] = {};
        if (readAt(p, tag, 10) == 10) {
            const int64_t size = ((tag[6] & 0x7F) << 21) | ((tag[7] & 0x7F) << 14) |
                                 ((tag[8] & 0x7F) << 7) | (tag[9] & 0x7F);
            p = SkipZeros(readAt, p + 10 + size);
        }
        have = readAt(p, h, 4) == 4;
    }
    while (have && !IsValidFrameHeader(h)) {
        ++p;
        have = readAt(p, h, 4) == 4;
    }
    start.found = have;
    start.offset = p;
    std::memcpy(start.header, h, 4);
    return start;
}

namespace {

// Reads the source through one cached window, so that the byte-by-byte start search costs
// no system call per byte.
class WindowReader {
public:
    explicit WindowReader(std::FILE* f) : file_(f), window_(64 * 1024) {}
    size_t ReadAt(int64_t pos, uint8_t* out, size_t n) {
        if (pos < 0) return 0;
        if (pos < start_ || pos + static_cast<int64_t>(n) > start_ + static_cast<int64_t>(valid_)) {
            if (std::fseek(file_, static_cast<long>(pos), SEEK_SET) != 0) return 0;
            start_ = pos;
            valid_ = std::fread(window_.data(), 1, window_.size(), file_);
        }
        const auto offset = static_cast<size_t>(pos - start_);
        const size_t got = offset < valid_ ? std::min(n, valid_ - offset) : 0;
        std::memcpy(out, window_.data() + offset, got);
        return got;
    }

private:
    std::FILE* file_;
    std::vector<uint8_t> window_;
    int64_t start_ = 0;
    size_t valid_ = 0;
};

// kbit/s a wrapper's format chunk claims. Its bytes per second are only a hint for choosing
// the codec record (the decoder takes every frame's bit rate from the frame itself), so a
// figure no MPEG stream can have is no hint at all: 0, which matches no record.
uint32_t WrapperBitRate(const WaveFormatEx& wfx) {
    constexpr int kLayerIField = 3;
    const auto highest = static_cast<uint64_t>(MpegBitRate(kMpeg1, kLayerIField, 14));
    const uint64_t kbit = uint64_t{wfx.nAvgBytesPerSec} * 8 / 1000;
    return kbit <= highest ? static_cast<uint32_t>(kbit) : 0;
}

void SetFormats(TACMConvertor& mp3wav, const Mp3FormatList& formats, const Mp3Start& start) {
    bool stereo = false;
    uint32_t rate = 0;
    uint32_t bitRate = 0;
    if (start.riffWrapped) {
        stereo = start.wrapperFormat.nChannels == 2;
        rate = start.wrapperFormat.nSamplesPerSec;  // an impossible rate makes the stream refuse
        bitRate = WrapperBitRate(start.wrapperFormat);
    } else {
        const FrameParams params = ParseFrameHeader(start.header);
        stereo = params.stereo;
        rate = static_cast<uint32_t>(params.sampleRate);
        bitRate = static_cast<uint32_t>(params.bitRate);
    }
    const uint16_t channels = stereo ? 2 : 1;
    WaveFormatEx& out = mp3wav.ACMFormatOut.wfx;
    out.nChannels = channels;
    out.nSamplesPerSec = rate;
    out.wBitsPerSample = 16;
    out.nAvgBytesPerSec = channels * rate * 2u;  // wraps only for a rate the stream refuses
    out.cbSize = 0;
    out.nBlockAlign = static_cast<uint16_t>(channels * 2);
    WaveFormatEx& in = mp3wav.ACMFormatIn.wfx;
    in.nChannels = channels;
    in.nSamplesPerSec = rate;
    in.wBitsPerSample = 0;
    in.nAvgBytesPerSec = bitRate * 1000 / 8;  // at most 448 kbit/s here: no overflow
    const FormatRecord wanted = mp3wav.ACMFormatIn;
    for (const FormatRecord& entry : formats) {  // the last match wins
        if (entry.wfx.nChannels == wanted.wfx.nChannels &&
            entry.wfx.nSamplesPerSec == wanted.wfx.nSamplesPerSec &&
            entry.wfx.wBitsPerSample == wanted.wfx.wBitsPerSample &&
            entry.wfx.nAvgBytesPerSec == wanted.wfx.nAvgBytesPerSec)
            mp3wav.ACMFormatIn = entry;
    }
}

void MakeHeader(uint8_t h[44], const WaveFormatEx& out, uint32_t riffSize, uint32_t dataSize) {
    std::memcpy(h, "RIFF", 4);
    Put32(h + 4, riffSize);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    Put32(h + 16, 16);
    std::memcpy(h + 20, out.Bytes().data(), 16);
    std::memcpy(h + 36, "data", 4);
    Put32(h + 40, dataSize);
}

// Closes the stream when an error leaves the import early, so the next import can open one.
struct StreamCloser {
    TACMConvertor& conv;
    ~StreamCloser() {
        if (!conv.Active()) return;
        try {
            conv.SetActive(false);
        } catch (const EACMConvertor&) {
        }
    }
};

struct Decoding {
    std::FILE* source;
    std::FILE* target;
    int64_t length;
    int64_t start;
};

void Progress(const Mp3ImportHooks& hooks, int percent) {
    if (hooks.progress) hooks.progress(percent);
}

bool Append(std::FILE* target, const uint8_t* data, uint32_t n) {
    return n == 0 || std::fwrite(data, 1, n, target) == n;
}

// The feeding loop; false when the target could not be written.
bool Decode(TACMConvertor& conv, const Decoding& d, std::atomic<bool>& stop,
            const Mp3ImportHooks& hooks) {
    ACMStreamHeader& hd = conv.Header();
    const auto bufferSize = static_cast<int64_t>(conv.InputBufferSize());
    int64_t remaining = d.length - d.start;
    std::fseek(d.source, static_cast<long>(d.start), SEEK_SET);
    bool first = true;
    while (remaining > 0 && !stop.load()) {
        int64_t n = bufferSize;
        uint32_t flags = first ? ACM_STREAMCONVERTF_START : 0;
        if (remaining < bufferSize) {
            n = remaining;
            flags = ACM_STREAMCONVERTF_END;
        }
        first = false;
        const size_t got = std::fread(conv.SourceBuffer(), 1, static_cast<size_t>(n), d.source);
        if (got == 0) break;  // the file shrank under us
        n = static_cast<int64_t>(got);
        remaining -= n;
        hd.cbSrcLength = static_cast<uint32_t>(n);
        Progress(hooks, d.length < remaining ? 100 : static_cast<int>((d.length - remaining) * 100 / d.length));
        try {
            TACMConvertor::CheckResult("acmStreamConvert:", conv.StreamConvert(flags));
        } catch (const EACMConvertor&) {
            // One bad block is dropped; decoding goes on with the next.
        }
        const int64_t used = hd.cbSrcLengthUsed;
        if (used > 0 && used < n) {
            std::fseek(d.source, static_cast<long>(used - n), SEEK_CUR);
            remaining += n - used;
        }
        if (!Append(d.target, conv.DestinationBuffer(), hd.cbDstLengthUsed)) return false;
        if (hooks.processEvents) hooks.processEvents();
    }
    // Whatever did not fit the destination buffer in the last pass.
    while (!stop.load() && conv.HasPendingOutput()) {
        hd.cbSrcLength = 0;
        conv.StreamConvert(ACM_STREAMCONVERTF_END);
        if (!Append(d.target, conv.DestinationBuffer(), hd.cbDstLengthUsed)) return false;
    }
    return true;
}

int64_t FileLength(std::FILE* f) {
    if (std::fseek(f, 0, SEEK_END) != 0) return 0;
    const long n = std::ftell(f);
    return n < 0 ? 0 : n;
}

// Rewrites the header with the final sizes; false when the target cannot be finished.
bool FinishTarget(std::FILE* target, const WaveFormatEx& out) {
    const int64_t length = FileLength(target);
    const auto size = static_cast<uint32_t>(length > 0xFFFFFFFFLL ? 0xFFFFFFFFLL : length);
    uint8_t header[44];
    MakeHeader(header, out, size - 8, size - 44);
    return std::fseek(target, 0, SEEK_SET) == 0 && std::fwrite(header, 1, 44, target) == 44;
}

}  // namespace

int ConvertMP3WAV(const std::string& source, const std::string& target, TACMConvertor& mp3wav,
                  const Mp3FormatList& formats, std::atomic<bool>& stopRequested,
                  const Mp3ImportHooks& hooks) {
    stopRequested = false;
    Progress(hooks, 0);
    File src(std::fopen(source.c_str(), "rb"));
    if (!src) src.reset(std::fopen(source.c_str(), "rb"));  // one retry, as for a busy file
    if (!src) {
        Progress(hooks, 0);
        return kMsgCannotOpenFile;
    }
    File dst(OpenTempForWriting(target));
    if (!dst) {
        Progress(hooks, 0);
        return kMsgCannotCreateOutput;
    }
    const int64_t length = FileLength(src.get());
    WindowReader reader(src.get());
    const Mp3Start start = FindMp3Start(
        [&reader](int64_t pos, uint8_t* out, size_t n) { return reader.ReadAt(pos, out, n); });

    uint8_t header[44];
    bool ok = true;
    if (!start.found) {
        // No frame anywhere: a WAV without sound.
        MakeHeader(header, mp3wav.ACMFormatOut.wfx, 36, 0);
        ok = std::fwrite(header, 1, 44, dst.get()) == 44;
    } else {
        SetFormats(mp3wav, formats, start);
        MakeHeader(header, mp3wav.ACMFormatOut.wfx, 0, 0);
        ok = std::fwrite(header, 1, 44, dst.get()) == 44;
        StreamCloser closer{mp3wav};
        if (mp3wav.Active()) mp3wav.SetActive(false);
        mp3wav.SetInputBufferSize(mp3wav.ACMFormatIn.wfx.nBlockAlign * 1024);
        mp3wav.SetActive(true);
        ok = ok && Decode(mp3wav, {src.get(), dst.get(), length, start.offset}, stopRequested, hooks);
        Progress(hooks, 0);
        TACMConvertor::CheckResult("acmStreamReset", mp3wav.StreamReset());
        mp3wav.SetActive(false);
        ok = ok && FinishTarget(dst.get(), mp3wav.ACMFormatOut.wfx);
    }
    ok = std::fclose(dst.release()) == 0 && ok;
    Progress(hooks, 0);
    if (!ok) {
        std::remove(target.c_str());  // never leave a half-written sound to be read as whole
        return kMsgCannotCreateOutput;
    }
    return 0;
}

}  // namespace sonvira
