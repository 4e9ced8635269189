#pragma once
// A decoder of sound files into 16-bit PCM blocks: the interface the Open command's
// general import sees (FFmpeg behind it, see FfmpegDecoder.h).

#include <cstdint>
#include <string>
#include <vector>

namespace sonvira {

struct DecodedStreamInfo {
    int32_t rate = 0;              // frames per second, the file's own
    int channels = 0;              // channels delivered: 1 (mono source) or 2 (all others)
    int64_t announcedFrames = -1;  // length the file states, in frames; -1 when unknown
};

enum class DecodeStep {
    Block,   // `samples` holds the next block
    End,     // the stream ended cleanly; `samples` is empty
    Failed,  // a read or decode error, or the stream ended well short of its stated length
};

// One decoder reads one file; its calls come from one thread at a time (the window thread).
class SoundDecoder {
public:
    virtual ~SoundDecoder() = default;

    // Opens the file at `path` (a local file name, nothing else) and its first audio stream.
    // False when the file cannot be read, is no sound container, has no audio stream or
    // none that can be decoded.
    virtual bool Open(const std::string& path) = 0;

    // The stream after a successful Open.
    virtual const DecodedStreamInfo& Info() const = 0;

    // Decodes the next block into `samples` (interleaved, Info().channels per frame,
    // replacing its contents). Sources of more than 16 bits come with TPDF dither;
    // 16-bit and 8-bit ones unchanged apart from a mixdown.
    virtual DecodeStep Next(std::vector<int16_t>& samples) = 0;

    // How far decoding has come, 0 … 100.
    virtual int PercentDone() const = 0;
};

}  // namespace sonvira
