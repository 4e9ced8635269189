#include "SoundContent.h"

#include <cstdio>
#include <cstring>
#include <string_view>

#include "MpegFrameHeader.h"

namespace sonvira {
namespace {

bool At(const uint8_t* head, size_t size, size_t offset, std::string_view magic) {
    return offset + magic.size() <= size &&
           std::memcmp(head + offset, magic.data(), magic.size()) == 0;
}

// "ID3", a version byte and a revision byte below 0xFF, as ID3v2 tags begin.
bool StartsWithId3v2(const uint8_t* head, size_t size) {
    return At(head, size, 0, "ID3") && size >= 5 && head[3] != 0xFF && head[4] != 0xFF;
}

// The first bytes of the containers and streams FFmpeg reads that are no MP3: whatever
// follows an ID3v2 tag or hides behind a ".mp3" name goes to the decoder when it starts so.
bool StartsAsOtherContainer(const uint8_t* head, size_t size) {
    using namespace std::string_view_literals;
    static constexpr std::string_view kMagics[] = {
        "fLaC"sv, "OggS"sv, ".snd"sv, "wvpk"sv, "MAC "sv, "TTA1"sv, "#!AMR"sv, "FLV\x01"sv,
        "\x1A\x45\xDF\xA3"sv,                  // EBML: Matroska, WebM
        "\x30\x26\xB2\x75\x8E\x66\xCF\x11"sv,  // ASF header object: WMA
        "\x7F\xFE\x80\x01"sv, "\xFE\x7F\x01\x80"sv,  // DTS core, big- and little-endian
    };
    for (const std::string_view magic : kMagics)
        if (At(head, size, 0, magic)) return true;
    // AC-3 and E-AC-3 frames begin with the sync word 0x0B77.
    if (size >= 2 && head[0] == 0x0B && head[1] == 0x77) return true;
    return At(head, size, 4, "ftyp") ||
           (At(head, size, 0, "FORM") && (At(head, size, 8, "AIFF") || At(head, size, 8, "AIFC"))) ||
           (At(head, size, 0, "RIFF") && At(head, size, 8, "AVI "));
}

}  // namespace

int64_t Id3v2TagSize(const uint8_t* head, size_t size) {
    if (!StartsWithId3v2(head, size) || size < 10) return 0;
    int64_t body = 0;
    for (int i = 6; i < 10; ++i) {
        if (head[i] & 0x80) return 0;  // not a synchsafe size: no tag
        body = body << 7 | head[i];
    }
    const bool footer = head[5] & 0x10;
    return 10 + body + (footer ? 10 : 0);
}

SoundContent SniffSoundContent(const uint8_t* head, size_t size) {
    if (At(head, size, 0, "RIFF") && At(head, size, 8, "WAVE")) return SoundContent::RiffWave;
    if (StartsAsOtherContainer(head, size)) return SoundContent::OtherContainer;
    if (StartsWithId3v2(head, size) || (size >= 4 && IsValidFrameHeader(head)))
        return SoundContent::Mp3;
    return SoundContent::Unknown;
}

SoundContent SniffSoundFile(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return SoundContent::Unknown;
    uint8_t head[kSniffBytes] = {};
    const size_t n = std::fread(head, 1, sizeof head, f);
    SoundContent content = SniffSoundContent(head, n);
    // FLAC, TTA, WavPack and Monkey's Audio files may carry an ID3v2 tag in front: what
    // follows the tag decides.
    if (const int64_t tag = Id3v2TagSize(head, n);
        tag > 0 && std::fseek(f, long(tag), SEEK_SET) == 0) {
        uint8_t after[kSniffBytes] = {};
        const size_t m = std::fread(after, 1, sizeof after, f);
        if (SniffSoundContent(after, m) == SoundContent::OtherContainer)
            content = SoundContent::OtherContainer;
    }
    std::fclose(f);
    return content;
}

}  // namespace sonvira
