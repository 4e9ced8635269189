#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "RiffBuilder.h"
#include "TempDir.h"
#include "WavFile.h"

namespace sonvira {
namespace {

using test::RiffBuilder;

const std::vector<uint8_t> kPcm = {1, 2, 3, 4, 5, 6, 7, 8};

std::vector<uint8_t> PlainWave(uint16_t channels = 2, uint16_t bits = 16) {
    return RiffBuilder().Chunk("fmt ", RiffBuilder::Format(1, channels, 44100, bits)).Chunk("data", kPcm).Wave();
}

struct AcceptedCase {
    const char* name;
    std::vector<uint8_t> file;
    bool stereo, is16;
};

TEST(ReadWav, AcceptsPcmFilesWithOtherChunksAround) {
    const AcceptedCase cases[] = {
        {"plain stereo 16-bit", PlainWave(), true, true},
        {"mono 8-bit", PlainWave(1, 8), false, false},
        {"list chunk between fmt and data",
         RiffBuilder()
             .Chunk("fmt ", RiffBuilder::Format(1, 2, 44100, 16))
             .Chunk("LIST", std::vector<uint8_t>(26, 'x'))
             .Chunk("data", kPcm)
             .Wave(),
         true, true},
        {"18-byte fmt with extra size field",
         RiffBuilder().Chunk("fmt ", RiffBuilder::Format(1, 1, 44100, 16, 2)).Chunk("data", kPcm).Wave(),
         false, true},
        {"odd-sized chunk with its pad byte before data",
         RiffBuilder()
             .Chunk("fmt ", RiffBuilder::Format(1, 2, 44100, 16))
             .Chunk("junk", {9, 9, 9})
             .Chunk("data", kPcm)
             .Wave(),
         true, true},
        {"RIFF size larger than the file",
         RiffBuilder().Raw("RIFF").U32(0xFFFFFFF0).Raw("WAVE")
             .Chunk("fmt ", RiffBuilder::Format(1, 2, 44100, 16)).Chunk("data", kPcm).bytes(),
         true, true},
    };
    test::TempDir dir;
    for (const auto& c : cases) {
        const std::string path = dir.file("in.wav");
        test::WriteBytes(path, c.file);
        WavSound sound;
        ASSERT_TRUE(ReadWav(path, sound)) << c.name;
        EXPECT_EQ(sound.size, 8) << c.name;
        EXPECT_EQ(sound.rate, 44100) << c.name;
        EXPECT_EQ(sound.stereo, c.stereo) << c.name;
        EXPECT_EQ(sound.is16Bit, c.is16) << c.name;
        EXPECT_EQ(std::vector<uint8_t>(sound.block.get(), sound.block.get() + sound.size), kPcm) << c.name;
    }
}

struct RefusedCase {
    const char* name;
    std::vector<uint8_t> file;
};

TEST(ReadWav, RefusesMalformedAndHostileFiles) {
    const auto fmt = RiffBuilder::Format(1, 2, 44100, 16);
    const auto wave = PlainWave();
    const RefusedCase cases[] = {
        {"empty file", {}},
        {"garbage", std::vector<uint8_t>(300, 0xAB)},
        {"truncated header", std::vector<uint8_t>(wave.begin(), wave.begin() + 30)},
        {"truncated data", std::vector<uint8_t>(wave.begin(), wave.end() - 1)},
        {"not WAVE", RiffBuilder().Raw("RIFF").U32(4).Raw("AVI ").bytes()},
        {"float samples", RiffBuilder().Chunk("fmt ", RiffBuilder::Format(3, 2, 44100, 32)).Chunk("data", kPcm).Wave()},
        {"24-bit samples", RiffBuilder().Chunk("fmt ", RiffBuilder::Format(1, 2, 44100, 24)).Chunk("data", kPcm).Wave()},
        {"zero channels", RiffBuilder().Chunk("fmt ", RiffBuilder::Format(1, 0, 44100, 16)).Chunk("data", kPcm).Wave()},
        {"three channels", RiffBuilder().Chunk("fmt ", RiffBuilder::Format(1, 3, 44100, 16)).Chunk("data", kPcm).Wave()},
        {"rate 0", RiffBuilder().Chunk("fmt ", RiffBuilder::Format(1, 2, 0, 16)).Chunk("data", kPcm).Wave()},
        {"rate beyond int32", RiffBuilder().Chunk("fmt ", RiffBuilder::Format(1, 2, 0x80000000u, 16)).Chunk("data", kPcm).Wave()},
        {"short format record", RiffBuilder().Chunk("fmt ", std::vector<uint8_t>(fmt.begin(), fmt.begin() + 14)).Chunk("data", kPcm).Wave()},
        {"no fmt", RiffBuilder().Chunk("data", kPcm).Wave()},
        {"data only before fmt", RiffBuilder().Chunk("data", kPcm).Chunk("fmt ", fmt).Wave()},
        {"empty data", RiffBuilder().Chunk("fmt ", fmt).Chunk("data", {}).Wave()},
        {"data size 0xFFFFFFF0", RiffBuilder().Chunk("fmt ", fmt).Raw("data").U32(0xFFFFFFF0).Bytes(kPcm).Wave()},
        {"data size just beyond int32", RiffBuilder().Chunk("fmt ", fmt).Raw("data").U32(0x80000000u).Bytes(kPcm).Wave()},
        {"fmt size beyond the file", RiffBuilder().Raw("fmt ").U32(0x7FFFFFFF).Bytes(fmt).Chunk("data", kPcm).Wave()},
        {"RIFF size that hides the data",
         RiffBuilder().Raw("RIFF").U32(28).Raw("WAVE").Chunk("fmt ", fmt).Chunk("data", kPcm).bytes()},
    };
    test::TempDir dir;
    for (const auto& c : cases) {
        const std::string path = dir.file("bad.wav");
        test::WriteBytes(path, c.file);
        WavSound sound;
        EXPECT_FALSE(ReadWav(path, sound)) << c.name;
        EXPECT_EQ(sound.block, nullptr) << c.name;
    }
    WavSound sound;
    EXPECT_FALSE(ReadWav(dir.file("missing.wav"), sound));
    EXPECT_FALSE(ReadWav(dir.path().string(), sound)) << "a folder";
}

TEST(ReadWav, ReadsWhatSoxWrites) {
    test::TempDir dir;
    const std::string path = dir.file("sox.wav");
    const std::string cmd = "timeout 20 sox -n -r 22050 -c 2 -b 16 " + path + " synth 0.5 sine 440 2>/dev/null";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << "sox is needed for this test";
    WavSound sound;
    ASSERT_TRUE(ReadWav(path, sound));
    EXPECT_EQ(sound.rate, 22050);
    EXPECT_TRUE(sound.stereo);
    EXPECT_TRUE(sound.is16Bit);
    EXPECT_EQ(sound.size, 22050 / 2 * 4);
}

TEST(InspectWav, SortsSampleFormatsAndKeepsStructuralFaultsRefused) {
    const auto Wave = [](uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, size_t extra = 0) {
        return RiffBuilder().Chunk("fmt ", RiffBuilder::Format(tag, channels, rate, bits, extra)).Chunk("data", kPcm).Wave();
    };
    auto badAlign = Wave(3, 2, 44100, 32);
    badAlign[20 + 12] = 6;  // block align of the format record: 6 instead of 8
    auto truncated = Wave(1, 2, 44100, 24);
    truncated.pop_back();
    const struct {
        const char* name;
        std::vector<uint8_t> file;
        WavLayout layout;
    } cases[] = {
        {"pcm 16-bit", PlainWave(), WavLayout::Readable},
        {"pcm 8-bit mono", PlainWave(1, 8), WavLayout::Readable},
        {"pcm 24-bit", Wave(1, 2, 44100, 24), WavLayout::OtherSampleFormat},
        {"pcm 32-bit", Wave(1, 1, 44100, 32), WavLayout::OtherSampleFormat},
        {"float 32-bit", Wave(3, 2, 44100, 32), WavLayout::OtherSampleFormat},
        {"float 64-bit", Wave(3, 1, 44100, 64), WavLayout::OtherSampleFormat},
        {"extensible 16-bit", Wave(0xFFFE, 2, 44100, 16, 24), WavLayout::OtherSampleFormat},
        {"extensible without its extension", Wave(0xFFFE, 2, 44100, 16), WavLayout::Refused},
        {"float 16-bit", Wave(3, 2, 44100, 16), WavLayout::Refused},
        {"float zero channels", Wave(3, 0, 44100, 32), WavLayout::Refused},
        {"float rate 0", Wave(3, 2, 0, 32), WavLayout::Refused},
        {"float block align lying", badAlign, WavLayout::Refused},
        {"24-bit truncated", truncated, WavLayout::Refused},
        {"24-bit empty data", RiffBuilder().Chunk("fmt ", RiffBuilder::Format(1, 2, 44100, 24)).Chunk("data", {}).Wave(), WavLayout::Refused},
        {"24-bit no data", RiffBuilder().Chunk("fmt ", RiffBuilder::Format(1, 2, 44100, 24)).Wave(), WavLayout::Refused},
        {"mpeg in riff", Wave(0x55, 2, 44100, 0), WavLayout::Refused},
    };
    test::TempDir dir;
    for (const auto& c : cases) {
        const std::string path = dir.file("x.wav");
        test::WriteBytes(path, c.file);
        EXPECT_EQ(InspectWav(path), c.layout) << c.name;
        WavSound sound;
        EXPECT_EQ(ReadWav(path, sound), c.layout == WavLayout::Readable) << c.name;
    }
    EXPECT_EQ(InspectWav(dir.file("missing.wav")), WavLayout::Refused);
}

}  // namespace
}  // namespace sonvira
