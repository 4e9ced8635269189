#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "WavFile.h"

namespace sonvira {
namespace {

struct File {
    std::FILE* f = nullptr;
    int64_t size = 0;
    ~File() {
        if (f) std::fclose(f);
    }
    bool ReadAt(int64_t offset, void* dst, int64_t count) const {
        if (offset < 0 || count < 0 || offset + count > size) return false;
        if (std::fseek(f, static_cast<long>(offset), SEEK_SET) != 0) return false;
        // In pieces: one read into a fresh block of hundreds of megabytes keeps the process's
        // memory map busy long enough to stall the window thread.
        constexpr int64_t kPiece = int64_t{1} << 20;
        auto* to = static_cast<uint8_t*>(dst);
        for (int64_t done = 0; done < count;) {
            const auto n = static_cast<size_t>(std::min(kPiece, count - done));
            if (std::fread(to + done, 1, n, f) != n) return false;
            done += static_cast<int64_t>(n);
        }
        return true;
    }
};

uint32_t U32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

struct Chunk {
    int64_t dataOffset = 0;
    uint32_t size = 0;
};

// Walks the chunks from `from` to `end` (both inside the file) and returns the first
// one with the given id. Chunks are word aligned: an odd size is followed by a pad byte.
std::optional<Chunk> FindChunk(const File& file, int64_t from, int64_t end, const char* id) {
    uint8_t header[8];
    for (int64_t pos = from; pos + 8 <= end;) {
        if (!file.ReadAt(pos, header, 8)) return std::nullopt;
        const uint32_t size = U32(header + 4);
        if (std::memcmp(header, id, 4) == 0) return Chunk{pos + 8, size};
        pos += 8 + int64_t(size) + (size & 1);
    }
    return std::nullopt;
}

// The first top-level "RIFF" chunk whose form type is "WAVE"; its end is limited to
// the file's end, whatever its size field claims.
std::optional<Chunk> FindWaveRiff(const File& file) {
    uint8_t header[12];
    for (int64_t pos = 0; pos + 12 <= file.size;) {
        if (!file.ReadAt(pos, header, 12)) return std::nullopt;
        const uint32_t size = U32(header + 4);
        if (std::memcmp(header, "RIFF", 4) == 0 && std::memcmp(header + 8, "WAVE", 4) == 0)
            return Chunk{pos + 12, size >= 4 ? size - 4 : 0};
        pos += 8 + int64_t(size) + (size & 1);
    }
    return std::nullopt;
}

// The fields the Open command needs from a WAV file's structure.
struct WavStructure {
    WavLayout layout = WavLayout::Refused;
    Chunk data;
    uint16_t channels = 0;
    uint16_t bits = 0;
    uint32_t rate = 0;
};

// Sample formats other than 8/16-bit PCM that a well-formed file may carry: 24/32-bit
// PCM, 32/64-bit float and the extensible header (whose sub-format the decoder reads).
bool IsOtherSampleFormat(uint16_t tag, uint16_t bits, uint32_t fmtSize) {
    constexpr uint16_t kPcm = 1, kFloat = 3, kExtensible = 0xFFFE;
    if (tag == kPcm) return bits == 24 || bits == 32;
    if (tag == kFloat) return bits == 32 || bits == 64;
    if (tag == kExtensible) return fmtSize >= 40 && bits % 8 == 0 && bits >= 8 && bits <= 64;
    return false;
}

WavStructure InspectStructure(const File& file) {
    WavStructure result;
    const auto riff = FindWaveRiff(file);
    if (!riff) return result;
    const int64_t riffEnd = std::min(riff->dataOffset + int64_t(riff->size), file.size);

    const auto fmt = FindChunk(file, riff->dataOffset, riffEnd, "fmt ");
    uint8_t format[16];
    if (!fmt || fmt->size < 16 || !file.ReadAt(fmt->dataOffset, format, 16)) return result;
    const uint16_t tag = U16(format), channels = U16(format + 2), align = U16(format + 12),
                   bits = U16(format + 14);
    const bool ours = tag == 1 && (channels == 1 || channels == 2) && (bits == 8 || bits == 16);
    // Another sample format counts only with a frame size that matches its fields.
    const bool other = !ours && channels != 0 && IsOtherSampleFormat(tag, bits, fmt->size) &&
                       uint32_t(align) == uint32_t(channels) * bits / 8;
    if (!ours && !other) return result;
    // No sound has 0 frames per second, and a rate beyond the 32-bit signed range would be
    // stored as a negative one, which playback would step through backwards.
    const uint32_t rate = U32(format + 4);
    if (rate == 0 || rate > uint32_t(INT32_MAX)) return result;

    // The search for "data" starts where "fmt " ends.
    const int64_t afterFmt = fmt->dataOffset + int64_t(fmt->size) + (fmt->size & 1);
    const auto data = FindChunk(file, afterFmt, riffEnd, "data");
    if (!data || data->size == 0) return result;
    if (ours && data->size > uint32_t(INT32_MAX)) return result;
    // A size beyond the file's end is a short read: refused before anything is allocated.
    if (data->dataOffset + int64_t(data->size) > file.size) return result;

    result.layout = ours ? WavLayout::Readable : WavLayout::OtherSampleFormat;
    result.data = *data;
    result.channels = channels;
    result.bits = bits;
    result.rate = rate;
    return result;
}

bool OpenFile(const std::string& path, File& file) {
    file.f = std::fopen(path.c_str(), "rb");
    if (!file.f || std::fseek(file.f, 0, SEEK_END) != 0) return false;
    file.size = std::ftell(file.f);
    return file.size >= 0;
}

}  // namespace

WavLayout InspectWav(const std::string& path) {
    File file;
    if (!OpenFile(path, file)) return WavLayout::Refused;
    return InspectStructure(file).layout;
}

bool ReadWav(const std::string& path, WavSound& out) {
    File file;
    if (!OpenFile(path, file)) return false;
    const WavStructure wav = InspectStructure(file);
    if (wav.layout != WavLayout::Readable) return false;

    SampleBlock block(static_cast<uint8_t*>(std::malloc(wav.data.size)));
    if (!block || !file.ReadAt(wav.data.dataOffset, block.get(), wav.data.size)) return false;

    out.block = std::move(block);
    out.size = static_cast<int32_t>(wav.data.size);
    out.rate = static_cast<int32_t>(wav.rate);
    out.stereo = wav.channels == 2;
    out.is16Bit = wav.bits == 16;
    return true;
}

}  // namespace sonvira
