// The Open command's reading step: which files take the MP3 path, and what a caller
// gets to show and to install for good, damaged and missing files.

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>

#include "MakeMp3Decoder.h"
#include "Mp3CodecFormats.h"
#include "Mp3Fixtures.h"
#include "OpenSoundFile.h"

namespace sonvira {
namespace {

TEST(OpenSoundFile, TheNamesLastExtensionChoosesTheMp3Path) {
    const struct {
        const char* path;
        bool mp3;
    } cases[] = {
        {"/music/take.mp3", true}, {"take.MP3", true},     {"take.Mp3", true},
        {"/a.mp3/take.wav", false},  // a folder's extension does not count
        {"take.mp3.wav", false},     {"take.wav.mp3", true}, {"take", false},
        {"take.mp3x", false},        {"/music/.mp3", true},  {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(NamesMp3File(c.path), c.mp3) << c.path;
}

struct OpenFixture : ::testing::Test {
    test::TempDir dir, tempDir;
    Mp3FormatList formats;
    TACMConvertor conv = MakeMp3Decoder();
    std::atomic<bool> stop{false};
    WavSound sound;

    OpenFixture() { EnumerateMp3CodecFormats(formats); }
    OpenOutcome Open(const std::string& path) {
        return OpenSoundFile(path, tempDir.path().string(), conv, formats, stop, {}, sound);
    }
};

TEST_F(OpenFixture, WavAndMp3AreReadWithoutMessages) {
    test::WriteSineWav(dir.file("tone.wav"), 22050, 1, 0.2, 440);
    OpenOutcome wav = Open(dir.file("tone.wav"));
    EXPECT_TRUE(wav.read);
    EXPECT_TRUE(wav.messages.empty());
    EXPECT_EQ(sound.rate, 22050);
    EXPECT_FALSE(sound.stereo);

    const auto mp3 = test::LameSine(dir, 44100, 2, 0.5, 440, "-b 128");
    ASSERT_FALSE(mp3.empty()) << "the lame command is needed for this test";
    test::WriteBytes(dir.file("tone.MP3"), mp3);
    OpenOutcome decoded = Open(dir.file("tone.MP3"));
    EXPECT_TRUE(decoded.read);
    EXPECT_TRUE(decoded.messages.empty());
    EXPECT_TRUE(sound.stereo);
    EXPECT_TRUE(sound.is16Bit);
    EXPECT_TRUE(std::filesystem::is_empty(tempDir.path())) << "the temporary WAV is deleted";
}

TEST_F(OpenFixture, RefusedFilesNameTheirMessagesInOrder) {
    test::WriteBytes(dir.file("broken.wav"), {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'});
    const struct {
        std::string path;
        std::vector<Msg> messages;
    } cases[] = {
        {dir.file("broken.wav"), {Msg::CannotOpenFile}},
        {dir.file("missing.wav"), {Msg::CannotOpenFile}},
        // The import says it could not open the file, then the Open command says so too.
        {dir.file("missing.mp3"), {Msg::CannotOpenFile, Msg::CannotOpenFile}},
    };
    for (const auto& c : cases) {
        const OpenOutcome outcome = Open(c.path);
        EXPECT_FALSE(outcome.read) << c.path;
        EXPECT_EQ(outcome.messages, c.messages) << c.path;
    }
}

}  // namespace
}  // namespace sonvira
