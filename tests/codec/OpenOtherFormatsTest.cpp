// The Open command on the formats FFmpeg decodes: each one read at its own rate and
// channel count with the tone it holds, 16-bit sources bit-exact, and damaged or foreign
// files refused with message 10 while the caller's sound stays as it was.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <iostream>

#include "MakeMp3Decoder.h"
#include "AmrNbTone.h"
#include "Mp3CodecFormats.h"
#include "Mp3Fixtures.h"
#include "OpenSoundFile.h"
#include "RiffBuilder.h"
#include "SoundFixtures.h"

namespace sonvira {
namespace {

struct OpenOtherFixture : ::testing::Test {
    test::TempDir dir, tempDir;
    Mp3FormatList formats;
    TACMConvertor conv = MakeMp3Decoder();
    std::atomic<bool> stop{false};
    WavSound sound;

    OpenOtherFixture() { EnumerateMp3CodecFormats(formats); }
    void SetUp() override { ASSERT_TRUE(test::HaveFfmpeg()) << "the ffmpeg command is needed"; }
    OpenOutcome Open(const std::string& path) {
        return OpenSoundFile(path, tempDir.path().string(), conv, formats, stop, {}, sound);
    }
    size_t Frames() const { return static_cast<size_t>(sound.size) / (sound.stereo ? 4u : 2u); }
    const int16_t* Samples() const { return reinterpret_cast<const int16_t*>(sound.block.get()); }

    // `path` opens as the 440 Hz tone it was made from: 16-bit, at its rate and channels,
    // `seconds` long (lossy codecs may keep up to one codec frame of padding, AAC: 1024
    // frames), its frequency taken over the first `toneFrames` frames (0: all), and no
    // temporary WAV left behind.
    void ExpectTone(const std::string& path, int32_t rate, bool stereo, double seconds, size_t toneFrames = 0) {
        ASSERT_FALSE(path.empty());
        const OpenOutcome outcome = Open(path);
        ASSERT_TRUE(outcome.read);
        EXPECT_TRUE(outcome.messages.empty());
        EXPECT_EQ(sound.rate, rate);
        EXPECT_EQ(sound.stereo, stereo);
        EXPECT_TRUE(sound.is16Bit);
        EXPECT_NEAR(static_cast<double>(Frames()) / rate, seconds, 0.05);
        const size_t measured = toneFrames == 0 ? Frames() : std::min(Frames(), toneFrames);
        for (int channel = 0; channel < (stereo ? 2 : 1); ++channel)
            EXPECT_NEAR(test::ZeroCrossingFrequency(Samples(), measured, stereo ? 2 : 1, rate, channel), 440.0, 2.0)
                << "channel " << channel;
        EXPECT_TRUE(std::filesystem::is_empty(tempDir.path())) << "the temporary WAV is deleted";
    }
};

// A stereo 16-bit PCM WAV whose format record is the 40-byte extensible one.
std::vector<uint8_t> ExtensibleWav(const std::vector<int16_t>& pcm, uint32_t rate) {
    test::RiffBuilder fmt;
    fmt.U16(0xFFFE).U16(2).U32(rate).U32(rate * 4).U16(4).U16(16);
    fmt.U16(22).U16(16).U32(0x3);  // extra size, valid bits, front left + front right
    // Sub-format GUID of integer PCM: 00000001-0000-0010-8000-00AA00389B71.
    fmt.Bytes({1, 0, 0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71});
    std::vector<uint8_t> data(pcm.size() * 2);
    std::memcpy(data.data(), pcm.data(), data.size());
    return test::RiffBuilder().Chunk("fmt ", fmt.bytes()).Chunk("data", data).Wave();
}

TEST_F(OpenOtherFixture, EachFormatOpensWithItsRateChannelsLengthAndTone) {
    const std::string stereo = "pan=stereo|c0=c0|c1=c0";
    const struct {
        const char* name;
        int rate;
        const char* filter;
        std::vector<std::string> codec;
        bool stereo;
    } cases[] = {
        {"flac16.flac", 44100, stereo.c_str(), {"-c:a", "flac", "-sample_fmt", "s16"}, true},
        {"flac24.flac", 96000, stereo.c_str(), {"-c:a", "flac", "-sample_fmt", "s32", "-bits_per_raw_sample", "24"}, true},
        {"vorbis.ogg", 44100, stereo.c_str(), {"-c:a", "libvorbis"}, true},
        {"stereo.opus", 48000, stereo.c_str(), {"-c:a", "libopus"}, true},
        {"mono.opus", 48000, "", {"-c:a", "libopus"}, false},
        {"aac.m4a", 44100, stereo.c_str(), {"-c:a", "aac"}, true},
        {"voice.m4a", 22050, "", {"-c:a", "aac"}, false},
        {"aiff16.aiff", 44100, stereo.c_str(), {"-c:a", "pcm_s16be"}, true},
        {"pcm24.wav", 48000, stereo.c_str(), {"-c:a", "pcm_s24le"}, true},
        {"pcm32.wav", 44100, "", {"-c:a", "pcm_s32le"}, false},
        {"float32.wav", 44100, stereo.c_str(), {"-c:a", "pcm_f32le"}, true},
        {"float64.wav", 32000, "", {"-c:a", "pcm_f64le"}, false},
        {"surround.flac", 48000, "pan=5.1|c0=c0|c1=c0|c2=c0|c3=c0|c4=c0|c5=c0", {"-c:a", "flac"}, true},
    };
    const double seconds = 1.5;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectTone(test::FfmpegTone(dir, c.name, c.rate, seconds, c.filter, c.codec), c.rate, c.stereo, seconds);
    }
}

// Sun audio, WavPack, WMA, AC-3, E-AC-3, DTS, TTA and AMR files, and films whose sound is
// taken while their pictures are skipped. A row whose encoder this machine's ffmpeg lacks is
// skipped with a note; the AMR file comes from libopencore-amrnb itself. Monkey's Audio has
// no encoder in ffmpeg and is not made here.
TEST_F(OpenOtherFixture, FurtherFormatsAndFilmsOpenWithTheirSoundsRateLengthAndTone) {
    const std::string stereo = "pan=stereo|c0=c0|c1=c0";
    enum class Made { Tone, Film, AmrLibrary };
    const struct {
        const char* name;
        int rate;
        const char* filter;
        std::vector<std::string> codec;  // for a film: the picture's codec, then the sound's
        bool stereo;
        std::vector<std::string> encoders;
        Made made = Made::Tone;
    } cases[] = {
        {"pcm16.au", 44100, stereo.c_str(), {"-c:a", "pcm_s16be"}, true, {"pcm_s16be"}},
        {"mulaw.snd", 8000, "", {"-c:a", "pcm_mulaw", "-f", "au"}, false, {"pcm_mulaw"}},
        {"wavpack.wv", 44100, stereo.c_str(), {"-c:a", "wavpack"}, true, {"wavpack"}},
        {"wma2.wma", 44100, stereo.c_str(), {"-c:a", "wmav2"}, true, {"wmav2"}},
        {"ac3.ac3", 48000, stereo.c_str(), {"-c:a", "ac3"}, true, {"ac3"}},
        {"eac3.eac3", 48000, stereo.c_str(), {"-c:a", "eac3"}, true, {"eac3"}},
        {"dts.dts", 48000, stereo.c_str(), {"-c:a", "dca", "-strict", "-2"}, true, {"dca"}},
        {"tta.tta", 44100, stereo.c_str(), {"-c:a", "tta"}, true, {"tta"}},
        {"voice.amr", 8000, "", {}, false, {}, Made::AmrLibrary},
        // The content decides: a WavPack file under an MP3 name, an AVI file under a WAV name.
        {"wavpack-named.mp3", 44100, "", {"-c:a", "wavpack", "-f", "wv"}, false, {"wavpack"}},
        {"film.mp4", 44100, stereo.c_str(), {"-c:v", "mpeg4", "-c:a", "aac"}, true, {"mpeg4", "aac"},
         Made::Film},
        {"film.m4v", 22050, "", {"-c:v", "mpeg4", "-c:a", "aac", "-f", "mp4"}, false, {"mpeg4", "aac"},
         Made::Film},
        {"film.mkv", 44100, stereo.c_str(), {"-c:v", "mpeg4", "-c:a", "libvorbis"}, true,
         {"mpeg4", "libvorbis"}, Made::Film},
        {"film.webm", 48000, stereo.c_str(), {"-c:v", "libvpx", "-c:a", "libopus"}, true,
         {"libvpx", "libopus"}, Made::Film},
        {"film.avi", 44100, stereo.c_str(), {"-c:v", "mpeg4", "-c:a", "libmp3lame"}, true,
         {"mpeg4", "libmp3lame"}, Made::Film},
        {"film-named.wav", 44100, "", {"-c:v", "mpeg4", "-c:a", "pcm_s16le", "-f", "avi"}, false,
         {"mpeg4"}, Made::Film},
        {"film.flv", 44100, "", {"-c:v", "flv", "-c:a", "aac"}, false, {"flv", "aac"}, Made::Film},
    };
    const double seconds = 1.5;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string missing;
        for (const std::string& encoder : c.encoders)
            if (!test::HaveFfmpegEncoder(encoder)) missing += " " + encoder;
        if (!missing.empty()) {
            std::cout << "[  SKIPPED ] " << c.name << ": this ffmpeg has no encoder" << missing << "\n";
            continue;
        }
        const std::string path =
            c.made == Made::Film         ? test::FfmpegFilm(dir, c.name, c.rate, seconds, c.filter, c.codec)
            : c.made == Made::AmrLibrary ? test::AmrNbTone(dir, c.name, seconds)
                                         : test::FfmpegTone(dir, c.name, c.rate, seconds, c.filter, c.codec);
        if (path.empty() && c.made == Made::AmrLibrary) {
            std::cout << "[  SKIPPED ] " << c.name << ": libopencore-amrnb.so.0 cannot be loaded\n";
            continue;
        }
        // The tone over the first second: ffmpeg's WMA encoder drops a cycle near the end.
        ExpectTone(path, c.rate, c.stereo, seconds, static_cast<size_t>(c.rate));
    }
}

TEST_F(OpenOtherFixture, SixteenBitSourcesComeThroughBitExact) {
    const auto pcm = test::Sine(44100, 2, 0.5, 440);
    const std::string source = dir.file("source.wav");
    test::WriteSineWav(source, 44100, 2, 0.5, 440);
    test::WriteBytes(dir.file("extensible.wav"), ExtensibleWav(pcm, 44100));
    const std::string files[] = {
        test::FfmpegConvert(dir, source, "lossless.flac", {"-c:a", "flac"}),
        test::FfmpegConvert(dir, source, "big-endian.aiff", {"-c:a", "pcm_s16be"}),
        dir.file("extensible.wav"),
    };
    for (const auto& path : files) {
        SCOPED_TRACE(path);
        ASSERT_FALSE(path.empty());
        ASSERT_TRUE(Open(path).read);
        ASSERT_EQ(static_cast<size_t>(sound.size), pcm.size() * 2);
        EXPECT_EQ(std::memcmp(sound.block.get(), pcm.data(), pcm.size() * 2), 0);
    }
}

// A plain (not extensible) WAV of the samples in another format: 24-bit PCM or 32-bit float.
std::vector<uint8_t> WideWav(const std::vector<int16_t>& pcm, uint32_t rate, bool asFloat) {
    std::vector<uint8_t> data;
    for (const int16_t v : pcm) {
        if (asFloat) {
            const float f = static_cast<float>(v) / 32768.0f;
            uint8_t b[4];
            std::memcpy(b, &f, 4);
            data.insert(data.end(), b, b + 4);
        } else {
            const auto u = static_cast<uint32_t>(static_cast<int32_t>(v) * 256);
            data.insert(data.end(), {uint8_t(u), uint8_t(u >> 8), uint8_t(u >> 16)});
        }
    }
    const auto format = test::RiffBuilder::Format(asFloat ? 3 : 1, 2, rate, asFloat ? 32 : 24);
    return test::RiffBuilder().Chunk("fmt ", format).Chunk("data", data).Wave();
}

TEST_F(OpenOtherFixture, WideSourcesArriveWithinOneStepWithReproducibleDither) {
    const auto pcm = test::Sine(44100, 2, 0.5, 440);
    for (const bool asFloat : {false, true}) {
        SCOPED_TRACE(asFloat ? "float" : "24-bit");
        test::WriteBytes(dir.file("wide.wav"), WideWav(pcm, 44100, asFloat));
        ASSERT_TRUE(Open(dir.file("wide.wav")).read);
        ASSERT_EQ(static_cast<size_t>(sound.size), pcm.size() * 2);
        size_t changed = 0, differingChannels = 0;
        for (size_t i = 0; i < pcm.size(); ++i) {
            ASSERT_LE(std::abs(Samples()[i] - pcm[i]), 1) << i;  // rounding plus ±1 LSB of noise
            changed += Samples()[i] != pcm[i];
        }
        for (size_t i = 0; i < Frames(); ++i) differingChannels += Samples()[2 * i] != Samples()[2 * i + 1];
        // Triangular noise moves a sample that lies on a step one step away in a quarter of cases.
        EXPECT_NEAR(static_cast<double>(changed) / static_cast<double>(pcm.size()), 0.25, 0.03);
        EXPECT_GT(differingChannels, Frames() / 4) << "noise, not the same rounding on both channels";
        const std::vector<uint8_t> first(sound.block.get(), sound.block.get() + sound.size);
        ASSERT_TRUE(Open(dir.file("wide.wav")).read);
        EXPECT_EQ(std::memcmp(first.data(), sound.block.get(), first.size()), 0) << "the same every time";
    }
}

TEST_F(OpenOtherFixture, DamagedAndForeignFilesAreRefusedAndTheSoundKept) {
    const std::string flac = test::FfmpegTone(dir, "whole.flac", 44100, 2.0, "", {"-c:a", "flac"});
    const std::string m4a =
        test::FfmpegTone(dir, "whole.m4a", 44100, 2.0, "", {"-c:a", "aac", "-movflags", "+faststart"});
    const std::string png = dir.file("x.png");
    ASSERT_TRUE(test::RunTool({"ffmpeg", "-nostdin", "-v", "error", "-y", "-f", "lavfi", "-i",
                               "color=red:size=16x16", "-frames:v", "1", png}));
    // Pictures without sound, and a sound whose codec is not among those decoded.
    const std::string silentFilm = dir.file("silent.mp4");
    ASSERT_TRUE(test::RunTool({"ffmpeg", "-nostdin", "-v", "error", "-y", "-f", "lavfi", "-i",
                               "testsrc=size=64x48:rate=10:duration=1", "-c:v", "mpeg4", silentFilm}));
    const std::string flashAdpcm =
        test::FfmpegTone(dir, "flash.flv", 22050, 1.0, "", {"-c:a", "adpcm_swf"});
    ASSERT_FALSE(flac.empty());
    ASSERT_FALSE(m4a.empty());
    ASSERT_FALSE(flashAdpcm.empty());
    const auto Cut = [](const std::vector<uint8_t>& bytes, double part) {
        return std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(static_cast<double>(bytes.size()) * part));
    };
    std::vector<uint8_t> random(4000);
    for (size_t i = 0; i < random.size(); ++i) random[i] = static_cast<uint8_t>((i * 7919u) >> 3 ^ i);
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"truncated.flac", Cut(test::ReadBytes(flac), 0.6)},
        {"cut.m4a", Cut(test::ReadBytes(m4a), 0.5)},
        {"zero.flac", {}},
        {"random.flac", random},
        {"picture.m4a", test::ReadBytes(png)},
        {"text.ogg", {'h', 'e', 'l', 'l', 'o', '\n'}},
        {"pictures-only.mp4", test::ReadBytes(silentFilm)},
        {"flash-adpcm.flv", test::ReadBytes(flashAdpcm)},
        {"playlist.opus", {'#', 'E', 'X', 'T', 'M', '3', 'U', '\n', '/', 'e', 't', 'c', '/', 'p', 'a', 's', 's', 'w', 'd', '\n'}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::WriteSineWav(dir.file("old.wav"), 8000, 1, 0.1, 440);
        ASSERT_TRUE(Open(dir.file("old.wav")).read);
        test::WriteBytes(dir.file(c.name), c.bytes);
        const OpenOutcome outcome = Open(dir.file(c.name));
        EXPECT_FALSE(outcome.read);
        EXPECT_FALSE(outcome.tooLarge);
        EXPECT_EQ(outcome.messages, std::vector<Msg>{Msg::CannotOpenFile});
        EXPECT_EQ(sound.rate, 8000) << "the old sound stays";
        EXPECT_EQ(sound.size, 1600);
        EXPECT_TRUE(std::filesystem::is_empty(tempDir.path())) << "the temporary WAV is deleted";
    }
}

TEST_F(OpenOtherFixture, ASoundLargerThanTheDocumentHoldsIsRefusedBeforeDecoding) {
    const std::string flac = test::FfmpegTone(dir, "tone.flac", 44100, 0.5, "", {"-c:a", "flac"});
    ASSERT_FALSE(flac.empty());
    const std::string endless = test::FlacClaimingEndlessLength(dir, flac, "endless.flac");
    ASSERT_FALSE(endless.empty());
    const OpenOutcome outcome = Open(endless);
    EXPECT_FALSE(outcome.read);
    EXPECT_TRUE(outcome.tooLarge);
    EXPECT_TRUE(outcome.messages.empty()) << "the window gives its own message instead";
    EXPECT_TRUE(std::filesystem::is_empty(tempDir.path()));
}

}  // namespace
}  // namespace sonvira
