#include "DecodeToWav.h"

#include <bit>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "WavFile.h"

namespace sonvira {
namespace {

// The samples are written as they lie in memory, which WAV files store little-endian.
static_assert(std::endian::native == std::endian::little);

// The window is served this often; a block of a few thousand frames decodes much faster.
constexpr auto kEventInterval = std::chrono::milliseconds(15);

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

bool WriteHeader(std::FILE* f, const DecodedStreamInfo& info, int64_t dataBytes) {
    uint8_t header[44];
    MakeWavHeader(header, info.channels == 2, true, info.rate, static_cast<uint32_t>(dataBytes));
    return std::fseek(f, 0, SEEK_SET) == 0 && std::fwrite(header, 1, 44, f) == 44;
}

}  // namespace

DecodeResult DecodeToWav(SoundDecoder& decoder, const std::string& source,
                         const std::string& target, std::atomic<bool>& stopRequested,
                         const Mp3ImportHooks& hooks, int64_t maxBytes) {
    stopRequested = false;
    if (!decoder.Open(source)) return DecodeResult::Undecodable;
    const DecodedStreamInfo info = decoder.Info();
    const int64_t bytesPerFrame = 2 * int64_t(info.channels);
    if (info.announcedFrames > 0 && info.announcedFrames > maxBytes / bytesPerFrame)
        return DecodeResult::TooLarge;

    // Blocks are a few kilobytes; a larger buffer saves most of the write calls. Declared
    // before the file, so it outlives the file's closing on every path.
    std::vector<char> buffer(1 << 20);
    FilePtr file(OpenTempForWriting(target));
    if (!file) return DecodeResult::CannotCreate;
    std::setvbuf(file.get(), buffer.data(), _IOFBF, buffer.size());
    if (!WriteHeader(file.get(), info, 0)) return DecodeResult::CannotCreate;
    std::vector<int16_t> samples;
    int64_t written = 0;
    int lastPercent = -1;
    auto lastEvents = std::chrono::steady_clock::now();
    while (!stopRequested) {
        const DecodeStep step = decoder.Next(samples);
        if (step == DecodeStep::Failed) return DecodeResult::Undecodable;
        if (step == DecodeStep::End) break;
        const int64_t bytes = int64_t(samples.size()) * 2;
        if (written + bytes > maxBytes) return DecodeResult::TooLarge;
        if (std::fwrite(samples.data(), 1, size_t(bytes), file.get()) != size_t(bytes))
            return DecodeResult::CannotCreate;
        written += bytes;
        const auto now = std::chrono::steady_clock::now();
        if (now - lastEvents < kEventInterval) continue;
        lastEvents = now;
        if (const int percent = decoder.PercentDone(); percent != lastPercent && hooks.progress) {
            hooks.progress(percent);
            lastPercent = percent;
        }
        if (hooks.processEvents) hooks.processEvents();
    }
    if (!stopRequested && lastPercent != 100 && hooks.progress) hooks.progress(100);
    if (!WriteHeader(file.get(), info, written) || std::fclose(file.release()) != 0)
        return DecodeResult::CannotCreate;
    return DecodeResult::Written;
}

}  // namespace sonvira
