#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "KillDuringSaves.h"
#include "PendingFile.h"
#include "TempDir.h"
#include "WavFile.h"

namespace sonvira {
namespace {

uint32_t U32At(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}

TEST(WriteWav, OddMono8BitBlockGetsPadByte) {
    test::TempDir dir;
    const std::string path = dir.file("three.wav");
    const uint8_t block[3] = {0, 128, 255};
    ASSERT_TRUE(WriteWav(path, block, false, false, 8000, 3));
    const auto bytes = test::ReadBytes(path);
    ASSERT_EQ(bytes.size(), 48u);
    EXPECT_EQ(U32At(bytes, 4), 40u);   // RIFF size counts the pad byte
    EXPECT_EQ(U32At(bytes, 28), 8000u);  // bytes per second
    EXPECT_EQ(U32At(bytes, 40), 3u);   // data size does not
    EXPECT_EQ(bytes[47], 0);
}

TEST(WriteWav, RoundTripKeepsFormatAndSamples) {
    struct Case {
        bool stereo, is16;
        int32_t rate;
    } cases[] = {{true, true, 44100}, {false, true, 22050}, {true, false, 11025}, {false, false, 8000}};
    test::TempDir dir;
    std::vector<uint8_t> block(1001);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i * 7);
    for (const auto& c : cases) {
        const std::string path = dir.file("round.wav");
        const auto size = static_cast<int32_t>(c.is16 ? 1000 : 1001);
        ASSERT_TRUE(WriteWav(path, block.data(), c.stereo, c.is16, c.rate, size));
        WavSound sound;
        ASSERT_TRUE(ReadWav(path, sound));
        EXPECT_EQ(sound.rate, c.rate);
        EXPECT_EQ(sound.stereo, c.stereo);
        EXPECT_EQ(sound.is16Bit, c.is16);
        ASSERT_EQ(sound.size, size);
        EXPECT_TRUE(std::equal(block.begin(), block.begin() + size, sound.block.get()));
    }
}

TEST(WriteWav, SoxReadsOurFile) {
    test::TempDir dir;
    const std::string path = dir.file("ours.wav");
    std::vector<uint8_t> block(4 * 22050, 0);  // one second of 16-bit stereo at 22050 Hz
    ASSERT_TRUE(WriteWav(path, block.data(), true, true, 22050, static_cast<int32_t>(block.size())));
    std::string cmd;
    for (const char* option : {"-r", "-c", "-b", "-s"})
        cmd += std::string(cmd.empty() ? "" : " && ") + "timeout 20 soxi " + option + " " + path;
    FILE* p = ::popen(cmd.c_str(), "r");
    ASSERT_NE(p, nullptr);
    char out[256] = {};
    const size_t n = std::fread(out, 1, sizeof out - 1, p);
    ASSERT_EQ(::pclose(p), 0) << "soxi refused our file";
    EXPECT_EQ(std::string(out, n), "22050\n2\n16\n22050\n");
}

// A write that fails half-way (here: the file size limit) reports failure, leaves the
// file that was there untouched and no temporary file behind.
TEST(WriteWav, FailedWriteKeepsTheExistingFile) {
    test::TempDir dir;
    const std::string path = dir.file("keep.wav");
    test::WriteBytes(path, {'o', 'l', 'd'});
    std::vector<uint8_t> block(1 << 20, 1);

    auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool ok = WriteWav(path, block.data(), true, true, 44100, static_cast<int32_t>(block.size()));
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(ok);
    EXPECT_EQ(test::ReadBytes(path), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(WriteWav, UnwritableFolderFails) {
    test::TempDir dir;
    const uint8_t block[2] = {};
    EXPECT_FALSE(WriteWav(dir.file("no/such/folder.wav"), block, false, true, 44100, 2));
}

// A copy killed at any moment of saving a sound leaves the old WAV or the new one, whole;
// the next start finds nothing of it beside the file.
TEST(WriteWav, AKillWhileSavingLeavesTheOldOrTheNewSoundWhole) {
    test::TempDir dir;
    const std::string path = dir.file("take.wav");
    const std::vector<uint8_t> sounds[] = {std::vector<uint8_t>(200000, 0x11), std::vector<uint8_t>(300000, 0x22)};
    ASSERT_TRUE(WriteWav(path, sounds[0].data(), true, true, 44100, static_cast<int32_t>(sounds[0].size())));
    int whole = 0;
    test::KillDuringSaves(
        200,
        [&](unsigned i) {
            const auto& sound = sounds[i % 2 == 0 ? 1 : 0];
            WriteWav(path, sound.data(), true, true, 44100, static_cast<int32_t>(sound.size()));
        },
        [&] {
            WavSound read;
            if (!ReadWav(path, read)) return;
            const auto* bytes = read.block.get();
            for (const auto& sound : sounds)
                whole += read.size == static_cast<int32_t>(sound.size()) &&
                         std::equal(sound.begin(), sound.end(), bytes);
            RemoveLeftoverTempFiles(dir.path().string());
        },
        std::chrono::milliseconds(10));
    EXPECT_EQ(whole, 200);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "nothing left beside it";
}

}  // namespace
}  // namespace sonvira
