// Which reading path the Open command takes: decided by the file's content, the ".mp3" name
// counting only where the content is no other container, and damaged WAV files never
// reaching FFmpeg.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "OpenSoundFile.h"
#include "RiffBuilder.h"
#include "SoundContent.h"
#include "TempDir.h"

namespace sonvira {
namespace {

using test::RiffBuilder;
using namespace std::string_literals;

const std::vector<uint8_t> kSamples(48, 7);

std::vector<uint8_t> Wave(uint16_t tag, uint16_t channels, uint16_t bits, size_t extra = 0) {
    return RiffBuilder().Chunk("fmt ", RiffBuilder::Format(tag, channels, 44100, bits, extra)).Chunk("data", kSamples).Wave();
}

std::vector<uint8_t> Bytes(const std::string& text, size_t padTo = 64) {
    std::vector<uint8_t> b(text.begin(), text.end());
    b.resize(std::max(b.size(), padTo), 0x11);
    return b;
}

std::vector<uint8_t> Join(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(ChooseOpenPath, TheContentDecidesAndTheMp3NameOnlyWhereItDoesNotContradict) {
    const std::vector<uint8_t> id3 = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const std::vector<uint8_t> frame = {0xFF, 0xFB, 0x90, 0x64};  // MPEG-1 Layer III, 128 kbit/s
    const auto truncated24 = [] {
        auto w = Wave(1, 2, 24);
        w.erase(w.end() - 10, w.end());
        return w;
    }();
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        OpenPath path;
    } cases[] = {
        {"pcm16.wav", Wave(1, 2, 16), OpenPath::WavReader},
        {"pcm8.mp3", Wave(1, 1, 8), OpenPath::WavReader},
        {"pcm24.wav", Wave(1, 2, 24), OpenPath::Decoder},
        {"pcm32.mp3", Wave(1, 1, 32), OpenPath::Decoder},
        {"float.wav", Wave(3, 2, 32), OpenPath::Decoder},
        {"double.dat", Wave(3, 1, 64), OpenPath::Decoder},
        {"extensible.wav", Wave(0xFFFE, 6, 16, 24), OpenPath::Decoder},
        {"fLaC.mp3", Bytes("fLaC"), OpenPath::Decoder},
        {"ogg.mp3", Bytes("OggS"), OpenPath::Decoder},
        {"m4a.mp3", Bytes("\0\0\0\x20" "ftypM4A "s), OpenPath::Decoder},
        {"aiff.mp3", Bytes("FORM\0\0\0\x40" "AIFF"s), OpenPath::Decoder},
        {"aifc.wav", Bytes("FORM\0\0\0\x40" "AIFC"s), OpenPath::Decoder},
        {"tag-then-flac.mp3", Join(id3, Bytes("fLaC")), OpenPath::Decoder},
        {"tag-then-frames.flac", Join(id3, Join(frame, Bytes(""))), OpenPath::Mp3Import},
        {"sun.mp3", Bytes(".snd"), OpenPath::Decoder},
        {"wavpack.mp3", Bytes("wvpk"), OpenPath::Decoder},
        {"monkey.mp3", Bytes("MAC "), OpenPath::Decoder},
        {"amr.mp3", Bytes("#!AMR\n"), OpenPath::Decoder},
        {"wma.mp3", Bytes("\x30\x26\xB2\x75\x8E\x66\xCF\x11"s), OpenPath::Decoder},
        {"ac3.mp3", Bytes("\x0B\x77"s), OpenPath::Decoder},
        {"dts.mp3", Bytes("\x7F\xFE\x80\x01"s), OpenPath::Decoder},
        {"webm.mp3", Bytes("\x1A\x45\xDF\xA3"s), OpenPath::Decoder},
        {"avi.mp3", Bytes("RIFF\0\0\0\0AVI "s), OpenPath::Decoder},
        {"flv.mp3", Bytes("FLV\x01"s), OpenPath::Decoder},
        {"tag-then-tta.mp3", Join(id3, Bytes("TTA1")), OpenPath::Decoder},
        {"tag-then-monkey.mp3", Join(id3, Bytes("MAC ")), OpenPath::Decoder},
        {"half-a-dts-word.mp3", Bytes("\x7F\xFE\x80\x02"s), OpenPath::Mp3Import},
        {"frames.wav", Join(frame, Bytes("")), OpenPath::Mp3Import},
        {"junk-then-frames.mp3", Bytes("junk"), OpenPath::Mp3Import},
        {"riff-wrapped.mp3", Wave(0x55, 2, 0), OpenPath::Mp3Import},
        {"anything.flac", Bytes("junk"), OpenPath::Decoder},
        {"empty.m4a", {}, OpenPath::Decoder},
        // Damaged WAV files stay refused, whatever their sample format and name.
        {"riff-wrapped.wav", Wave(0x55, 2, 0), OpenPath::Refused},
        {"truncated24.wav", truncated24, OpenPath::Refused},
        // Under a ".mp3" name it goes to the MP3 import as before (which refuses it too).
        {"truncated24.mp3", truncated24, OpenPath::Mp3Import},
        {"zero-channels-float.wav", Wave(3, 0, 32), OpenPath::Refused},
        {"float-16-bits.wav", Wave(3, 2, 16), OpenPath::Refused},
        {"short-extensible.wav", Wave(0xFFFE, 2, 16), OpenPath::Refused},
        {"no-data.wav", RiffBuilder().Chunk("fmt ", RiffBuilder::Format(3, 2, 44100, 32)).Wave(), OpenPath::Refused},
        {"three-channel-pcm16.wav", Wave(1, 3, 16), OpenPath::Refused},
    };
    test::TempDir dir;
    for (const auto& c : cases) {
        test::WriteBytes(dir.file(c.name), c.bytes);
        EXPECT_EQ(ChooseOpenPath(dir.file(c.name)), c.path) << c.name;
    }
    EXPECT_EQ(ChooseOpenPath(dir.file("missing.flac")), OpenPath::Decoder);
    EXPECT_EQ(ChooseOpenPath(dir.file("missing.mp3")), OpenPath::Mp3Import);
}

TEST(SniffSoundContent, ShortAndTaggedHeads) {
    const uint8_t tag[] = {'I', 'D', '3', 4, 0, 0x10, 0, 0, 1, 0x7F};  // footer flag, size 255
    EXPECT_EQ(Id3v2TagSize(tag, sizeof tag), 10 + 255 + 10);
    const uint8_t notSynchsafe[] = {'I', 'D', '3', 4, 0, 0, 0x80, 0, 0, 0};
    EXPECT_EQ(Id3v2TagSize(notSynchsafe, sizeof notSynchsafe), 0);
    EXPECT_EQ(Id3v2TagSize(tag, 9), 0) << "a cut header is no tag";
    const uint8_t riff[] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V'};
    EXPECT_EQ(SniffSoundContent(riff, sizeof riff), SoundContent::Unknown) << "\"WAVE\" cut short";
    EXPECT_EQ(SniffSoundContent(nullptr, 0), SoundContent::Unknown);
    const uint8_t adts[] = {0xFF, 0xF1, 0x50, 0x80};  // AAC in ADTS: layer 0, no MPEG audio frame
    EXPECT_EQ(SniffSoundContent(adts, sizeof adts), SoundContent::Unknown);
}

}  // namespace
}  // namespace sonvira
