#include <gtest/gtest.h>

#include <optional>

#include <sys/stat.h>

#include <cstring>
#include <filesystem>

#include "Mp3Fixtures.h"
#include "MpegFrameHeader.h"
#include "SaveCommand.h"
#include "UnprivilegedUser.h"

namespace sonvira {
namespace {

using test::TempDir;

// Records what the export hands the encoder; can be told to fail at one step.
class FakeEncoder : public Mp3Encoder {
public:
    enum class FailAt { Nothing, Init, Chunk2, Flush };
    FailAt failAt = FailAt::Nothing;
    BeConfig config;
    std::vector<std::vector<int16_t>> chunks;
    int closes = 0;

    int InitStream(const BeConfig& c, size_t& outSize) override {
        config = c;
        outSize = 16;
        return failAt == FailAt::Init ? -1 : 0;
    }
    int EncodeChunk(const int16_t* v, size_t count, uint8_t* out, size_t& outBytes) override {
        chunks.emplace_back(v, v + count);
        if (failAt == FailAt::Chunk2 && chunks.size() == 2) return -1;
        std::memcpy(out, "chunk", 5);
        outBytes = 5;
        return 0;
    }
    int DeinitStream(uint8_t* out, size_t& outBytes) override {
        if (failAt == FailAt::Flush) return -1;
        std::memcpy(out, "end", 3);
        outBytes = 3;
        return 0;
    }
    void CloseStream() override { ++closes; }
};

// A document owning a copy of `bytes`.
void Fill(AudioDocument& doc, const std::vector<uint8_t>& bytes, int rate, bool stereo, bool is16Bit) {
    auto* block = static_cast<uint8_t*>(std::malloc(std::max<size_t>(bytes.size(), 1)));
    if (!bytes.empty()) std::memcpy(block, bytes.data(), bytes.size());
    doc.InstallBlock(block, static_cast<int32_t>(bytes.size()), rate, stereo, is16Bit);
}

void FillSine(AudioDocument& doc, int rate, int channels, double seconds, double freq) {
    const auto pcm = test::Sine(rate, channels, seconds, freq);
    std::vector<uint8_t> bytes(pcm.size() * 2);
    std::memcpy(bytes.data(), pcm.data(), bytes.size());
    Fill(doc, bytes, rate, channels == 2, true);
}

class Mp3Export : public ::testing::Test {
protected:
    int Save(const std::string& path, Mp3Encoder& encoder, Mp3Settings settings = {}) {
        return SaveAsMP3File(path, doc, settings, [this](int p) { progress.push_back(p); }, encoder);
    }
    TempDir dir;
    AudioDocument doc;
    std::vector<int> progress;
};

TEST_F(Mp3Export, ChunksOfAtMost5000BytesWithProgress) {
    const struct {
        const char* name;
        size_t bytes;
        bool stereo, is16Bit;
        std::vector<size_t> chunkValues;
        std::vector<int> progress;
    } cases[] = {
        {"16-bit stereo 12000 bytes", 12000, true, true, {2500, 2500, 1000}, {0, 41, 83, 0}},
        {"8-bit mono 3000 bytes", 3000, false, false, {2500, 500}, {0, 83, 0}},
        {"16-bit odd size", 5003, false, true, {2500, 1}, {0, 99, 0}},
        {"empty", 0, true, true, {}, {0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Fill(doc, std::vector<uint8_t>(c.bytes, 100), 44100, c.stereo, c.is16Bit);
        FakeEncoder enc;
        progress.clear();
        ASSERT_EQ(Save(dir.file("out.mp3"), enc), 0);
        std::vector<size_t> sizes;
        for (const auto& chunk : enc.chunks) sizes.push_back(chunk.size());
        EXPECT_EQ(sizes, c.chunkValues);
        EXPECT_EQ(progress, c.progress);
        // The file is the encoder's output and nothing else.
        std::string expected;
        for (size_t i = 0; i < c.chunkValues.size(); ++i) expected += "chunk";
        expected += "end";
        const auto bytes = test::ReadBytes(dir.file("out.mp3"));
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), expected);
        EXPECT_EQ(enc.closes, 1);
    }
}

TEST_F(Mp3Export, EightBitSamplesAreWidenedAroundTheZeroLine) {
    Fill(doc, {0, 128, 255, 1, 127}, 8000, false, false);
    FakeEncoder enc;
    ASSERT_EQ(Save(dir.file("out.mp3"), enc), 0);
    ASSERT_EQ(enc.chunks.size(), 1u);
    EXPECT_EQ(enc.chunks[0], (std::vector<int16_t>{-32768, 0, 32512, -32512, -256}));
}

TEST_F(Mp3Export, SixteenBitSamplesPassUnchangedLittleEndian) {
    Fill(doc, {0x01, 0x80, 0xFF, 0x7F, 0x34, 0x12, 0x99}, 22050, false, true);
    FakeEncoder enc;
    ASSERT_EQ(Save(dir.file("out.mp3"), enc), 0);
    ASSERT_EQ(enc.chunks.size(), 1u);
    EXPECT_EQ(enc.chunks[0], (std::vector<int16_t>{-32767, 32767, 0x1234}));  // last byte left out
}

TEST_F(Mp3Export, ConfigurationFollowsDocumentAndSettings) {
    Fill(doc, std::vector<uint8_t>(400, 0), 44100, true, true);
    FakeEncoder enc;
    ASSERT_EQ(Save(dir.file("out.mp3"), enc, {11025, 8}), 0);
    const BeConfig& c = enc.config;
    EXPECT_EQ(c.dwSampleRate, 44100u);
    EXPECT_EQ(c.dwReSampleRate, 11025u);
    EXPECT_EQ(c.dwBitrate, 8u);
    EXPECT_EQ(c.dwMaxBitrate, 8u);
    EXPECT_EQ(c.nMode, BE_MP3_MODE_STEREO);
    EXPECT_TRUE(c.bCopyright && c.bOriginal);
    EXPECT_FALSE(c.bCRC || c.bEnableVBR || c.bWriteVBRHeader || c.bPrivate);
    EXPECT_EQ(c.nPreset, LQP_HIGH_QUALITY);
    Fill(doc, std::vector<uint8_t>(400, 0), 16000, false, false);
    ASSERT_EQ(Save(dir.file("out.mp3"), enc), 0);
    EXPECT_EQ(enc.config.nMode, BE_MP3_MODE_MONO);
}

TEST_F(Mp3Export, FailuresLeaveAnExistingFileUntouched) {
    Fill(doc, std::vector<uint8_t>(12000, 7), 44100, true, true);
    const std::string path = dir.file("old.mp3");
    const struct {
        const char* name;
        FakeEncoder::FailAt failAt;
        int result;        // returned message, or -1 when an error is thrown
        int thrownMessage;
        const char* text;
    } cases[] = {
        {"encoder refuses", FakeEncoder::FailAt::Init, 13, 0, ""},
        {"chunk fails", FakeEncoder::FailAt::Chunk2, -1, 12, "Fehler beim MP3 Codieren"},
        {"flush fails", FakeEncoder::FailAt::Flush, -1, 0, "Echec à la sortie"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::WriteBytes(path, {'o', 'l', 'd'});
        FakeEncoder enc;
        enc.failAt = c.failAt;
        if (c.result >= 0) {
            EXPECT_EQ(Save(path, enc), c.result);
        } else {
            try {
                Save(path, enc);
                ADD_FAILURE() << "no error";
            } catch (const EMp3Encode& e) {
                EXPECT_EQ(e.message, c.thrownMessage);
                EXPECT_STREQ(e.what(), c.text);
            }
            EXPECT_EQ(enc.closes, 1);
        }
        EXPECT_EQ(test::ReadBytes(path), (std::vector<uint8_t>{'o', 'l', 'd'}));
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1)
            << "temporary file left behind";
    }
}

// Cancelled after the second chunk: the encoder is closed, the old file stays whole and no
// temporary file is left.
TEST_F(Mp3Export, ACancelledExportLeavesTheOldFileAndNoTemporaryFile) {
    Fill(doc, std::vector<uint8_t>(12000, 7), 44100, true, true);
    const std::string path = dir.file("old.mp3");
    test::WriteBytes(path, {'o', 'l', 'd'});
    FakeEncoder enc;
    std::atomic<bool> cancel{false};
    const int result = SaveAsMP3File(
        path, doc, {}, [&](int) { cancel = enc.chunks.size() == 2; }, enc, &cancel);
    EXPECT_EQ(result, kMp3SaveCancelled);
    EXPECT_EQ(enc.chunks.size(), 2u);
    EXPECT_EQ(enc.closes, 1);
    EXPECT_EQ(test::ReadBytes(path), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1)
        << "temporary file left behind";
}

TEST_F(Mp3Export, UncreatableFileGivesMessage14) {
    Fill(doc, std::vector<uint8_t>(100, 0), 44100, true, true);
    FakeEncoder enc;
    EXPECT_EQ(Save(dir.file("no/such/folder/out.mp3"), enc), 14);
    EXPECT_TRUE(enc.chunks.empty());
}

// Frame headers from the start of an MP3 to its end; empty when anything else is in between.
std::vector<std::array<uint8_t, 4>> WalkFrames(const std::vector<uint8_t>& f) {
    std::vector<std::array<uint8_t, 4>> headers;
    size_t pos = 0;
    while (pos + 4 <= f.size()) {
        const uint8_t* h = &f[pos];
        if (!IsValidFrameHeader(h) || FrameLayer(h) != 1) return {};
        const FrameParams p = ParseFrameHeader(h);
        const int perFrame = FrameVersion(h) == kMpeg1 ? 144 : 72;
        pos += static_cast<size_t>(perFrame * p.bitRate * 1000 / p.sampleRate + ((h[2] >> 1) & 1));
        headers.push_back({h[0], h[1], h[2], h[3]});
    }
    return pos == f.size() ? headers : decltype(headers){};
}

TEST_F(Mp3Export, LameFileDecodesWithMpg123ToRateChannelsLengthAndTone) {
    const struct {
        const char* name;
        int docRate, channels;
        bool is16Bit;
        Mp3Settings settings;
        int kbps;  // in the frame headers
    } cases[] = {
        {"44100 stereo at 44100/128", 44100, 2, true, {44100, 128}, 128},
        {"44100 stereo at 11025/8", 44100, 2, true, {11025, 8}, 8},
        {"22050 mono at 48000/64", 22050, 1, true, {48000, 64}, 64},
        {"8-bit 16000 mono at 22050/32", 16000, 1, false, {22050, 32}, 32},
        // MPEG-1 has no 8 kbit/s: LAME takes the nearest rate it can carry.
        {"44100 stereo at 48000/8", 44100, 2, true, {48000, 8}, 32},
        {"44100 stereo at 22050/144", 44100, 2, true, {22050, 144}, 144},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const double seconds = 2.0;
        FillSine(doc, c.docRate, c.channels, seconds, 440);
        if (!c.is16Bit) {  // narrow to 8 bits as the format conversion would
            for (int32_t i = 0; i < doc.DataSize / 2; ++i) {
                int16_t v;
                std::memcpy(&v, doc.SampleData + 2 * i, 2);
                doc.SampleData[i] = static_cast<uint8_t>(v / 256 + 128);
            }
            doc.DataSize /= 2;
            doc.Is16Bit = false;
        }
        const std::vector<uint8_t> before(doc.SampleData, doc.SampleData + doc.DataSize);
        const auto encoder = MakeLameEncoder();
        ASSERT_EQ(Save(dir.file("out.mp3"), *encoder, c.settings), 0);
        EXPECT_EQ(std::vector<uint8_t>(doc.SampleData, doc.SampleData + doc.DataSize), before);

        const auto mp3 = test::ReadBytes(dir.file("out.mp3"));
        const auto headers = WalkFrames(mp3);
        ASSERT_FALSE(headers.empty()) << "not a bare sequence of Layer III frames";
        for (const auto& h : headers) {
            EXPECT_EQ(ParseFrameHeader(h.data()).bitRate, c.kbps);
            EXPECT_EQ(h[1] & 1, 1) << "CRC present";
            EXPECT_EQ(h[3] & 0x0C, 0x0C) << "copyright and original bits";
            EXPECT_EQ(h[3] >> 6, c.channels == 2 ? 0 : 3);  // plain stereo or mono
        }
        EXPECT_EQ(ParseFrameHeader(headers[0].data()).sampleRate, c.settings.sampleRate);

        ASSERT_TRUE(test::RunCommand("mpg123 -q -w '" + dir.file("back.wav") + "' '" +
                                     dir.file("out.mp3") + "' 2>/dev/null"));
        WavSound back;
        ASSERT_TRUE(ReadWav(dir.file("back.wav"), back));
        EXPECT_EQ(back.rate, c.settings.sampleRate);
        EXPECT_EQ(back.stereo, c.channels == 2);
        const size_t frames = static_cast<size_t>(back.size) / (back.stereo ? 4u : 2u);
        // Without a LAME tag the decoder keeps the encoder delay and the last frame's padding.
        EXPECT_GE(static_cast<double>(frames), seconds * c.settings.sampleRate);
        EXPECT_LE(static_cast<double>(frames), seconds * c.settings.sampleRate + 3 * 1152.0);
        const auto* pcm = reinterpret_cast<const int16_t*>(back.block.get());
        EXPECT_NEAR(test::ZeroCrossingFrequency(pcm, frames, c.channels, back.rate), 440.0, 8.0);
    }
}

TEST(SaveCommand, NameGetsTheTypesExtensionOnlyWithoutOne) {
    const struct {
        const char* name;
        int type;
        const char* expected;
    } cases[] = {
        {"/home/u/take", kSaveTypeMp3, "/home/u/take.mp3"},
        {"/home/u/take", kSaveTypeWav, "/home/u/take.wav"},
        {"/home/u/take.wav", kSaveTypeMp3, "/home/u/take.wav"},
        {"/home/u/take.MP3", kSaveTypeWav, "/home/u/take.MP3"},
        {"/home/u.v/take", kSaveTypeWav, "/home/u.v/take.wav"},
        {"take.", kSaveTypeMp3, "take."},
    };
    for (const auto& c : cases) EXPECT_EQ(SaveFileName(c.name, c.type), c.expected) << c.name;
}

TEST(SaveCommand, FileTypeNotExtensionChoosesTheFormat) {
    TempDir dir;
    AudioDocument doc;
    FillSine(doc, 44100, 2, 0.5, 440);
    const auto lame = MakeLameEncoder();
    // MP3 under a .wav name.
    ASSERT_TRUE(SaveDocument(dir.file("take.wav"), kSaveTypeMp3, doc, {}, {}, *lame).Saved());
    EXPECT_FALSE(WalkFrames(test::ReadBytes(dir.file("take.wav"))).empty());
    // WAV under a .mp3 name, exactly the stored block.
    FakeEncoder unused;
    ASSERT_TRUE(SaveDocument(dir.file("take.mp3"), kSaveTypeWav, doc, {}, {}, unused).Saved());
    WavSound back;
    ASSERT_TRUE(ReadWav(dir.file("take.mp3"), back));
    ASSERT_EQ(back.size, doc.DataSize);
    EXPECT_EQ(std::memcmp(back.block.get(), doc.SampleData, static_cast<size_t>(doc.DataSize)), 0);
    EXPECT_TRUE(unused.chunks.empty());
    // An empty document as WAV: a header with an empty data chunk.
    AudioDocument empty;
    empty.SampleRate = 44100;
    ASSERT_TRUE(SaveDocument(dir.file("empty.wav"), kSaveTypeWav, empty, {}, {}, unused).Saved());
    EXPECT_EQ(test::ReadBytes(dir.file("empty.wav")).size(), 44u);
    const SaveOutcome refused = SaveDocument(dir.file("none/x.wav"), kSaveTypeWav, doc, {}, {}, unused);
    EXPECT_EQ(refused.message, Msg::CannotCreateFile);
    EXPECT_TRUE(refused.errorIcon) << "a WAV that cannot be created is an error";
}

// Every way an MP3 save can fail reaches the caller as one box to show, never as an
// exception: the encoder refusing the settings (plain box), a failed chunk (the catalogue's
// message) and a failed flush (the encoder's own text), both with the error icon.
TEST(SaveCommand, Mp3FailuresBecomeTheBoxToShow) {
    TempDir dir;
    AudioDocument doc;
    Fill(doc, std::vector<uint8_t>(12000, 7), 44100, true, true);
    const struct {
        FakeEncoder::FailAt failAt;
        std::optional<Msg> message;
        const char* text;
        bool errorIcon;
    } cases[] = {
        {FakeEncoder::FailAt::Init, Msg::LameInitFailed, "", false},
        {FakeEncoder::FailAt::Chunk2, Msg::Mp3EncodingFailed, "", true},
        {FakeEncoder::FailAt::Flush, std::nullopt, "Echec à la sortie", true},
    };
    for (const auto& c : cases) {
        FakeEncoder encoder;
        encoder.failAt = c.failAt;
        const SaveOutcome outcome = SaveDocument(dir.file("x.mp3"), kSaveTypeMp3, doc, {}, {}, encoder);
        EXPECT_FALSE(outcome.Saved()) << c.text;
        EXPECT_EQ(outcome.message, c.message) << c.text;
        EXPECT_EQ(outcome.text, c.text);
        EXPECT_EQ(outcome.errorIcon, c.errorIcon) << c.text;
    }
}

// A file the user has write-protected is not replaced by either format, even though the
// folder would let a rename through: message 14, the file as it was, no encoding started.
TEST(SaveCommand, WriteProtectedFileIsRefusedAndKept) {
    TempDir dir;
    AudioDocument doc;
    Fill(doc, std::vector<uint8_t>(12000, 7), 44100, true, true);
    ::chmod(dir.path().c_str(), 0777);
    for (const int type : {kSaveTypeWav, kSaveTypeMp3}) {
        SCOPED_TRACE(type == kSaveTypeWav ? "WAV" : "MP3");
        const std::string path = dir.file("take");
        test::WriteBytes(path, {'o', 'l', 'd'});
        ::chmod(path.c_str(), 0444);
        const std::string report = test::RunAsUnprivilegedUser([&] {
            FakeEncoder encoder;
            const SaveOutcome result = SaveDocument(path, type, doc, {}, {}, encoder);
            return std::to_string(result.message ? static_cast<int>(*result.message) : 0) +
                   (encoder.chunks.empty() ? "" : " after encoding");
        });
        EXPECT_EQ(report, "14");
        EXPECT_EQ(test::ReadBytes(path), (std::vector<uint8_t>{'o', 'l', 'd'}));
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1)
            << "temporary file left behind";
    }
}

}  // namespace
}  // namespace sonvira
