#include "SaveAsMP3File.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "PendingFile.h"

namespace sonvira {
namespace {

constexpr size_t kChunkBytes = 5000;

// Values [first, first + count) of the 16-bit stream the encoder gets: the block itself for
// 16 bits (little-endian), (byte − 128) × 256 for 8 bits.
void StreamValues(const AudioDocument& doc, size_t first, size_t count, int16_t* out) {
    const uint8_t* data = doc.SampleData;
    for (size_t i = 0; i < count; ++i) {
        const size_t k = first + i;
        out[i] = doc.Is16Bit ? static_cast<int16_t>(data[2 * k] | (data[2 * k + 1] << 8))
                             : static_cast<int16_t>((data[k] - 128) * 256);
    }
}

void Report(const std::function<void(int)>& progress, int percent) {
    if (progress) progress(percent);
}

}  // namespace

BeConfig MakeBeConfig(const AudioDocument& doc, const Mp3Settings& settings) {
    BeConfig c;
    c.dwSampleRate = static_cast<uint32_t>(std::max(0, doc.SampleRate.load()));
    c.dwReSampleRate = static_cast<uint32_t>(std::max(0, settings.sampleRate));
    c.nMode = doc.IsStereo ? BE_MP3_MODE_STEREO : BE_MP3_MODE_MONO;
    c.dwBitrate = static_cast<uint32_t>(std::max(0, settings.bitRate));
    c.dwMaxBitrate = c.dwBitrate;
    return c;
}

int SaveAsMP3File(const std::string& path, const AudioDocument& doc, const Mp3Settings& settings,
                  const std::function<void(int)>& progress, Mp3Encoder& encoder,
                  const std::atomic<bool>* cancel) {
    PendingFile file(path);
    if (!file.Ok()) return kMsgCannotCreateFile;
    const size_t dataSize = doc.SampleData ? static_cast<size_t>(std::max(0, doc.DataSize)) : 0;
    const uint64_t total = doc.Is16Bit ? dataSize : 2 * uint64_t{dataSize};  // T, bytes of the stream

    size_t outSize = 0;
    if (encoder.InitStream(MakeBeConfig(doc, settings), outSize) != 0) return kMsgLameInitFailed;
    std::vector<uint8_t> out(outSize, 0);
    int16_t values[kChunkBytes / 2];
    for (uint64_t c = 0; c < total;) {
        Report(progress, static_cast<int>(c * 100 / total));
        if (cancel && cancel->load(std::memory_order_relaxed)) {
            encoder.CloseStream();
            return kMp3SaveCancelled;  // the pending file goes with its destructor
        }
        const uint64_t d = std::min<uint64_t>(total - c, kChunkBytes);
        const size_t count = static_cast<size_t>(d / 2);
        StreamValues(doc, static_cast<size_t>(c / 2), count, values);
        size_t produced = 0;
        if (encoder.EncodeChunk(values, count, out.data(), produced) != 0) {
            encoder.CloseStream();
            throw EMp3Encode(kMsgMp3EncodeFailed, "Fehler beim MP3 Codieren");
        }
        if (!file.Write(out.data(), produced)) {
            encoder.CloseStream();
            return kMsgCannotCreateFile;
        }
        c += d;
    }
    Report(progress, 0);
    size_t produced = 0;
    if (encoder.DeinitStream(out.data(), produced) != 0) {
        encoder.CloseStream();
        throw EMp3Encode(0, "Echec à la sortie");
    }
    encoder.CloseStream();
    if (!file.Write(out.data(), produced) || !file.Commit()) return kMsgCannotCreateFile;
    return 0;
}

}  // namespace sonvira
