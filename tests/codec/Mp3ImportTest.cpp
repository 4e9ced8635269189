#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "ConvertMP3WAV.h"
#include "Mp3Fixtures.h"
#include "OpenMp3File.h"
#include "RiffBuilder.h"

namespace sonvira {
namespace {

using test::RiffBuilder;
using test::TempDir;

// Passes on every call through to the real decoder and notes what the import fed it.
class WatchingConvertor : public TACMConvertor {
public:
    struct Pass {
        uint32_t bytes;
        uint32_t flags;
    };
    std::vector<Pass> passes;
    int StreamConvert(uint32_t flags) override {
        passes.push_back({Header().cbSrcLength, flags});
        return TACMConvertor::StreamConvert(flags);
    }
    uint64_t BytesFed() const {
        uint64_t n = 0;
        for (const auto& p : passes) n += p.bytes;
        return n;
    }
};

class Mp3Import : public ::testing::Test {
protected:
    // The converter starts with the records the main window gives it.
    Mp3Import() {
        EnumerateMp3CodecFormats(formats);
        conv.ACMFormatIn = StoredMp3FormatIn();
        conv.ACMFormatOut = StoredPcmFormatOut();
    }

    // Writes `bytes` as an MP3 file and opens it the way the Open command does.
    Mp3OpenResult Open(const std::vector<uint8_t>& bytes) {
        const std::string mp3 = dir.file("in.mp3");
        test::WriteBytes(mp3, bytes);
        return OpenMp3File(mp3, tempDir.path().string(), conv, formats, stop,
                           {[this](int p) { progress.push_back(p); }, {}}, sound);
    }
    const int16_t* Pcm() const { return reinterpret_cast<const int16_t*>(sound.block.get()); }
    size_t Frames() const { return static_cast<size_t>(sound.size) / (sound.stereo ? 4u : 2u); }
    double Frequency(int channel = 0) const {
        return test::ZeroCrossingFrequency(Pcm(), Frames(), sound.stereo ? 2 : 1, sound.rate, channel);
    }

    TempDir dir;
    TempDir tempDir;
    Mp3FormatList formats;
    WatchingConvertor conv;
    std::atomic<bool> stop{false};
    std::vector<int> progress;
    WavSound sound;
};

TEST_F(Mp3Import, DecodesEveryMpegVersionToItsOwnRateAndChannels) {
    const struct {
        const char* name;
        int rate, channels;
        const char* lameArgs;
        uint32_t avgBytes;
        uint16_t frameBytes;  // nBlockSize of the matched format list entry
    } cases[] = {
        {"MPEG-1 48000 joint stereo 128", 48000, 2, "-m j -b 128", 16000, 384},
        {"MPEG-2 22050 mono 64", 22050, 1, "-m m -b 64", 8000, 208},
        {"MPEG-2.5 8000 stereo 24", 8000, 2, "-m s -b 24", 3000, 216},
        {"MPEG-2.5 11025 mono 16", 11025, 1, "-m m -b 16", 2000, 104},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const double seconds = 1.5;
        const auto mp3 = test::LameSine(dir, c.rate, c.channels, seconds, 440, c.lameArgs);
        ASSERT_FALSE(mp3.empty());
        const Mp3OpenResult r = Open(mp3);
        EXPECT_EQ(r.importMessage, 0);
        ASSERT_TRUE(r.read);
        EXPECT_EQ(sound.rate, c.rate);
        EXPECT_EQ(sound.stereo, c.channels == 2);
        EXPECT_TRUE(sound.is16Bit);
        EXPECT_EQ(conv.ACMFormatIn.wfx.nChannels, c.channels);
        EXPECT_EQ(conv.ACMFormatIn.wfx.nSamplesPerSec, static_cast<uint32_t>(c.rate));
        EXPECT_EQ(conv.ACMFormatIn.wfx.nAvgBytesPerSec, c.avgBytes);
        EXPECT_EQ(conv.ACMFormatIn.extra[6] | (conv.ACMFormatIn.extra[7] << 8), c.frameBytes);
        // Longer by at most the encoder's delay and the padding of the last frame.
        EXPECT_NEAR(static_cast<double>(Frames()), seconds * c.rate, 2 * 1152.0);
        EXPECT_NEAR(Frequency(), 440.0, 5.0);
        if (c.channels == 2) {
            EXPECT_NEAR(Frequency(1), 440.0, 5.0);
        }
        EXPECT_FALSE(conv.Active());
        EXPECT_EQ(progress.back(), 0);
        EXPECT_TRUE(std::filesystem::is_empty(tempDir.path())) << "temporary WAV left behind";
    }
}

// A target that stays on disk: its header is the final one, sizes from the file length.
TEST_F(Mp3Import, TargetHeaderCarriesFinalSizesAndOutputFormat) {
    const auto mp3 = test::LameSine(dir, 22050, 1, 1.0, 440, "-m m -b 64");
    test::WriteBytes(dir.file("in.mp3"), mp3);
    const std::string wav = dir.file("out.wav");
    ASSERT_EQ(ConvertMP3WAV(dir.file("in.mp3"), wav, conv, formats, stop), 0);
    const auto bytes = test::ReadBytes(wav);
    ASSERT_GT(bytes.size(), 44u);
    auto u32 = [&](size_t at) {
        return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
               uint32_t(bytes[at + 3]) << 24;
    };
    EXPECT_EQ(u32(4), bytes.size() - 8);
    EXPECT_EQ(u32(40), bytes.size() - 44);
    EXPECT_EQ(u32(16), 16u);
    const auto fmt = conv.ACMFormatOut.wfx.Bytes();
    EXPECT_TRUE(std::equal(fmt.begin(), fmt.begin() + 16, bytes.begin() + 20));
    EXPECT_EQ(conv.ACMFormatOut.wfx.nAvgBytesPerSec, 44100u);
    EXPECT_EQ(conv.ACMFormatOut.wfx.nBlockAlign, 2);
    EXPECT_EQ(conv.ACMFormatOut.wfx.cbSize, 0);
}

// The start search over a file held in memory.
Mp3Start FindMp3StartIn(const std::vector<uint8_t>& file) {
    return FindMp3Start([&](int64_t pos, uint8_t* out, size_t n) {
        const size_t got = pos < static_cast<int64_t>(file.size())
                               ? std::min(n, file.size() - static_cast<size_t>(pos))
                               : 0;
        std::copy_n(file.begin() + pos, got, out);
        return got;
    });
}

std::vector<uint8_t> Concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(Mp3Import, FindsTheFirstFrameBehindTagsJunkAndZeros) {
    const auto mp3 = test::LameSine(dir, 44100, 2, 1.0, 440, "-b 128");
    ASSERT_FALSE(mp3.empty());
    // ID3v2 header with size bytes 00 00 02 01 (257), its body, then zero padding.
    std::vector<uint8_t> id3 = {'I', 'D', '3', 3, 0, 0, 0, 0, 2, 1};
    id3.resize(10 + 257, 'x');
    id3.resize(id3.size() + 20, 0);
    std::vector<uint8_t> junk(1000);
    for (size_t i = 0; i < junk.size(); ++i) junk[i] = static_cast<uint8_t>(0x20 + i % 64);
    const struct {
        const char* name;
        std::vector<uint8_t> prefix;
        int64_t start;
    } cases[] = {
        {"bare", {}, 0},
        {"ID3v2 tag", id3, 287},
        {"junk", junk, 1000},
        {"four zero bytes", {0, 0, 0, 0}, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        conv.passes.clear();
        const auto file = Concat(c.prefix, mp3);
        const Mp3Start s = FindMp3StartIn(file);
        ASSERT_TRUE(s.found);
        EXPECT_EQ(s.offset, c.start);
        const Mp3OpenResult r = Open(file);
        ASSERT_TRUE(r.read);
        EXPECT_EQ(conv.BytesFed(), file.size() - static_cast<size_t>(c.start));
        EXPECT_NEAR(Frequency(), 440.0, 5.0);
        EXPECT_NEAR(static_cast<double>(Frames()), 44100.0, 1152.0);
    }
}

TEST_F(Mp3Import, IdTagSearchStartsBehindTheSyncsafeSize) {
    // The tag claims 257 bytes; a frame-like pattern inside the tag must not be taken.
    std::vector<uint8_t> file = {'I', 'D', '3', 4, 0, 0, 0, 0, 2, 1};
    file.resize(267, 0);
    file[100] = 0xFF;
    file[101] = 0xFB;
    file[102] = 0x90;
    const uint8_t frame[4] = {0xFF, 0xF3, 0x80, 0xC4};
    file.insert(file.end(), frame, frame + 4);
    const Mp3Start s = FindMp3StartIn(file);
    ASSERT_TRUE(s.found);
    EXPECT_EQ(s.offset, 267);
}

TEST_F(Mp3Import, RiffWrappedMp3TakesItsFormatChunkAndStartsAt66) {
    const auto mp3 = test::LameSine(dir, 22050, 1, 1.0, 440, "-m m -b 32 -t");
    ASSERT_FALSE(mp3.empty());
    RiffBuilder fmt;
    fmt.U16(85).U16(1).U32(22050).U32(4000).U16(1).U16(0).U16(12);
    fmt.U16(1).U32(2).U16(104).U16(1).U16(1393);
    RiffBuilder riff;
    riff.Chunk("fmt ", fmt.bytes()).Chunk("fact", {0, 0, 0, 0}).Chunk("data", mp3);
    const auto file = riff.Wave();
    const Mp3OpenResult r = Open(file);
    ASSERT_TRUE(r.read);
    EXPECT_EQ(conv.BytesFed(), file.size() - 66);
    EXPECT_EQ(sound.rate, 22050);
    EXPECT_FALSE(sound.stereo);
    EXPECT_EQ(conv.ACMFormatIn.wfx.nAvgBytesPerSec, 4000u);
    EXPECT_NEAR(Frequency(), 440.0, 5.0);
    EXPECT_NEAR(static_cast<double>(Frames()), 22050.0, 2 * 1152.0);
}

// A format chunk's bytes per second are only a hint for choosing the codec record; one that
// no MPEG stream can have gives no hint, and the frames still decode by their own headers.
TEST_F(Mp3Import, RiffWrapperWithImpossibleBytesPerSecondIsNoBitRateHint) {
    // The smallest such wrapper, found by fuzzing: headers only, no data behind them.
    const std::vector<uint8_t> headersOnly = {
        'R', 'I', 'F', 'F', 0x1E, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
        18, 0, 0, 0, 0x55, 0, 1, 0, 0x22, 0x56, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF,
        1, 0, 0, 0, 0, 0};
    ASSERT_EQ(headersOnly.size(), 38u);
    const Mp3OpenResult empty = Open(headersOnly);
    EXPECT_EQ(empty.importMessage, 0);
    EXPECT_FALSE(empty.read);
    EXPECT_EQ(conv.ACMFormatIn.wfx.nAvgBytesPerSec, 0u);
    EXPECT_FALSE(conv.Active());

    const auto mp3 = test::LameSine(dir, 22050, 1, 1.0, 440, "-m m -b 32 -t");
    ASSERT_FALSE(mp3.empty());
    for (const uint32_t bytesPerSecond : {0xFFFFFFFFu, 0x80000000u, 56125u}) {
        SCOPED_TRACE(bytesPerSecond);
        RiffBuilder fmt;
        fmt.U16(85).U16(1).U32(22050).U32(bytesPerSecond).U16(1).U16(0).U16(0);
        RiffBuilder riff;
        riff.Chunk("fmt ", fmt.bytes()).Chunk("data", mp3);
        sound = {};
        ASSERT_TRUE(Open(riff.Wave()).read);
        EXPECT_EQ(conv.ACMFormatIn.wfx.nAvgBytesPerSec, 0u);
        EXPECT_EQ(sound.rate, 22050);
        EXPECT_NEAR(Frequency(), 440.0, 5.0);
    }
}

TEST_F(Mp3Import, FeedsBlocksOfTheBufferSizeWithStartAndEndMarks) {
    const auto mp3 = test::LameSine(dir, 44100, 2, 2.0, 440, "-b 128");
    ASSERT_GE(mp3.size(), 3u * 1024);
    const struct {
        size_t size;
        std::vector<WatchingConvertor::Pass> passes;
    } cases[] = {
        {3 * 1024, {{1024, ACM_STREAMCONVERTF_START}, {1024, 0}, {1024, 0}}},
        {500, {{500, ACM_STREAMCONVERTF_END}}},
        {2500, {{1024, ACM_STREAMCONVERTF_START}, {1024, 0}, {452, ACM_STREAMCONVERTF_END}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        conv.passes.clear();
        progress.clear();
        Open({mp3.begin(), mp3.begin() + static_cast<ptrdiff_t>(c.size)});
        ASSERT_EQ(conv.passes.size(), c.passes.size());
        for (size_t i = 0; i < c.passes.size(); ++i) {
            EXPECT_EQ(conv.passes[i].bytes, c.passes[i].bytes) << i;
            EXPECT_EQ(conv.passes[i].flags, c.passes[i].flags) << i;
        }
        EXPECT_EQ(conv.InputBufferSize(), 1024);
    }
    // Progress of the last case: 0 at the start, one value per pass, 0 at the end.
    EXPECT_EQ(progress, (std::vector<int>{0, 40, 81, 100, 0, 0}));
}

TEST_F(Mp3Import, StopRequestEndsAfterTheCurrentBlockWithAValidFile) {
    const auto mp3 = test::LameSine(dir, 44100, 2, 3.0, 440, "-b 128");
    test::WriteBytes(dir.file("in.mp3"), mp3);
    int passes = 0;
    const std::string wav = dir.file("out.wav");
    ASSERT_EQ(ConvertMP3WAV(dir.file("in.mp3"), wav, conv, formats, stop,
                            {{}, [&] { if (++passes == 20) stop = true; }}),
              0);
    EXPECT_EQ(conv.passes.size(), 20u);
    EXPECT_FALSE(conv.Active());
    ASSERT_TRUE(ReadWav(wav, sound));
    EXPECT_GT(Frames(), 10000u);
    EXPECT_LT(Frames(), 3 * 44100u / 2);
}

TEST_F(Mp3Import, HostileFilesGiveNoSoundAndNoCrash) {
    const auto mp3 = test::LameSine(dir, 44100, 2, 1.0, 440, "-b 128");
    std::vector<uint8_t> reserved;
    for (int i = 0; i < 200; ++i) reserved.insert(reserved.end(), {0xFF, 0xEB, 0x90, 0x44});
    std::vector<uint8_t> noise(20000);
    std::mt19937 rng(7);
    for (auto& b : noise) b = static_cast<uint8_t>(rng());
    std::vector<uint8_t> id3Huge = {'I', 'D', '3', 3, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F};
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        bool mayRead;
    } cases[] = {
        {"empty", {}, false},
        {"three bytes", {0xFF, 0xFB, 0x90}, false},
        {"text without frame", std::vector<uint8_t>(5000, 'a'), false},
        {"only zeros", std::vector<uint8_t>(100, 0), false},
        {"reserved version headers", reserved, false},
        {"ID3 size beyond the file", id3Huge, false},
        {"short RIFF wrapper", {'R', 'I', 'F', 'F', 9, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '}, false},
        {"header only", {0xFF, 0xFB, 0x90, 0x44}, false},
        {"truncated mid-frame", {mp3.begin(), mp3.begin() + 3000}, true},
        {"random bytes", noise, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sound = {};
        const Mp3OpenResult r = Open(c.bytes);
        EXPECT_EQ(r.importMessage, 0);
        if (!c.mayRead) {
            EXPECT_FALSE(r.read);
        }
        EXPECT_FALSE(conv.Active());
        EXPECT_TRUE(std::filesystem::is_empty(tempDir.path()));
    }
}

TEST_F(Mp3Import, UnreadableSourceAndUnwritableTargetGiveTheirMessages) {
    EXPECT_EQ(ConvertMP3WAV(dir.file("missing.mp3"), dir.file("out.wav"), conv, formats, stop), 10);
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.wav")));
    test::WriteBytes(dir.file("in.mp3"), {0xFF, 0xFB, 0x90, 0x44});
    EXPECT_EQ(ConvertMP3WAV(dir.file("in.mp3"), dir.file("no/such/folder/out.wav"), conv, formats, stop), 9);
}

TEST_F(Mp3Import, StreamThatCannotOpenPassesOutAndLeavesConverterUsable) {
    // A RIFF wrapper whose format names a rate no MPEG stream has.
    RiffBuilder fmt;
    fmt.U16(85).U16(2).U32(44000).U32(16000).U16(1).U16(0).U16(0);
    RiffBuilder riff;
    riff.Chunk("fmt ", fmt.bytes()).Chunk("data", std::vector<uint8_t>(3000, 0x55));
    try {
        Open(riff.Wave());
        ADD_FAILURE() << "no error";
    } catch (const EACMConvertor& e) {
        EXPECT_STREQ(e.what(), "acmStreamOpen: The requested operation cannot be performed.");
    }
    EXPECT_TRUE(std::filesystem::is_empty(tempDir.path())) << "temporary WAV left behind";
    const auto mp3 = test::LameSine(dir, 44100, 1, 0.5, 440, "-m m -b 64");
    EXPECT_TRUE(Open(mp3).read);
}

TEST_F(Mp3Import, TemporaryNameTakesTheFirstFreeNumber) {
    // tempwav0.wav exists already: the import uses tempwav1.wav and leaves tempwav0 alone.
    test::WriteBytes((tempDir.path() / "tempwav0.wav").string(), {1, 2, 3});
    const auto mp3 = test::LameSine(dir, 44100, 1, 0.5, 440, "-m m -b 64");
    std::vector<std::string> seen;
    test::WriteBytes(dir.file("in.mp3"), mp3);
    const Mp3OpenResult r =
        OpenMp3File(dir.file("in.mp3"), tempDir.path().string(), conv, formats, stop,
                    {[&](int) {
                         for (const auto& e : std::filesystem::directory_iterator(tempDir.path()))
                             seen.push_back(e.path().filename().string());
                     },
                     {}},
                    sound);
    EXPECT_TRUE(r.read);
    EXPECT_NE(std::find(seen.begin(), seen.end(), "tempwav1.wav"), seen.end());
    EXPECT_TRUE(std::filesystem::exists(tempDir.path() / "tempwav0.wav"));
    EXPECT_FALSE(std::filesystem::exists(tempDir.path() / "tempwav1.wav"));
}

}  // namespace
}  // namespace sonvira
