#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "Mp3CodecFormats.h"
#include "Mp3Fixtures.h"
#include "MpegFrameHeader.h"
#include "TACMConvertor.h"

namespace sonvira {
namespace {

using test::TempDir;

void SetMp3Formats(TACMConvertor& c, uint16_t channels, uint32_t rate) {
    c.ACMFormatIn = StoredMp3FormatIn();
    c.ACMFormatIn.wfx.nChannels = channels;
    c.ACMFormatIn.wfx.nSamplesPerSec = rate;
    c.ACMFormatOut = StoredPcmFormatOut();
    c.ACMFormatOut.wfx.nChannels = channels;
    c.ACMFormatOut.wfx.nSamplesPerSec = rate;
    c.ACMFormatOut.wfx.nBlockAlign = static_cast<uint16_t>(channels * 2);
}

TEST(CheckResult, MessagesForEveryCode) {
    const struct {
        int code;
        const char* text;
    } cases[] = {
        {5, "acmStreamOpen: The specified handle is invalid."},
        {6, "acmStreamOpen: A suitable driver is not available to provide valid format selections."},
        {7, "acmStreamOpen: The system is unable to allocate resources."},
        {10, "acmStreamOpen: At least one flag is invalid."},
        {11, "acmStreamOpen: At least one parameter is invalid."},
        {512, "acmStreamOpen: The requested operation cannot be performed."},
        {513, "acmStreamOpen: The conversion stream is already in use."},
        {514, "acmStreamOpen: Cannot perform this action on a header that has not been prepared."},
        {99, "acmStreamOpen: raised an unknown error (code #99)"},
    };
    for (const auto& c : cases) {
        try {
            TACMConvertor::CheckResult("acmStreamOpen:", c.code);
            ADD_FAILURE() << "code " << c.code << " raised nothing";
        } catch (const EACMConvertor& e) {
            EXPECT_STREQ(e.what(), c.text);
        }
    }
    EXPECT_NO_THROW(TACMConvertor::CheckResult("acmStreamOpen:", 0));
}

TEST(TACMConvertor, ConstructedInactiveWithPcmDefaults) {
    TACMConvertor c;
    EXPECT_FALSE(c.Active());
    EXPECT_FALSE(c.UseRealTime());
    EXPECT_EQ(c.InputBufferSize(), 2048);
    const uint8_t expected[18] = {1, 0, 1, 0, 0x22, 0x56, 0, 0, 0x22, 0x56, 0, 0, 1, 0, 8, 0, 129, 0};
    EXPECT_EQ(std::memcmp(c.ACMFormatIn.Bytes().data(), expected, 18), 0);
    EXPECT_EQ(c.ACMFormatIn, c.ACMFormatOut);
}

TEST(TACMConvertor, StoredMp3RecordBytes) {
    const auto b = StoredMp3FormatIn().Bytes();
    const uint8_t expected[30] = {85, 0, 2, 0, 0xC0, 0x5D, 0, 0, 0x58, 0x1B, 0, 0, 1, 0, 0, 0, 12, 0,
                                  1,  0, 2, 0, 0,    0,    168, 0, 1, 0, 0x71, 0x05};
    EXPECT_EQ(std::memcmp(b.data(), expected, sizeof expected), 0);
    EXPECT_TRUE(std::all_of(b.begin() + 30, b.end(), [](uint8_t v) { return v == 0; }));
}

TEST(TACMConvertor, ActivatingTwiceKeepsOneStreamAndSettingsLockWhileActive) {
    TACMConvertor c;
    SetMp3Formats(c, 2, 44100);
    c.SetActive(false);  // nothing to close
    c.SetActive(true);
    uint8_t* source = c.SourceBuffer();
    c.SetActive(true);
    EXPECT_EQ(c.SourceBuffer(), source);
    EXPECT_EQ(c.Header().cbSrcLength, 2048u);
    EXPECT_EQ(c.Header().cbDstLength, c.DestinationSize());
    EXPECT_GT(c.DestinationSize(), 0u);
    try {
        c.SetInputBufferSize(4096);
        ADD_FAILURE();
    } catch (const EACMConvertor& e) {
        EXPECT_STREQ(e.what(), "You cannot change the buffer size while active.");
    }
    EXPECT_EQ(c.InputBufferSize(), 2048);
    EXPECT_THROW(c.SetUseRealTime(true), EACMConvertor);
    c.SetActive(false);
    EXPECT_FALSE(c.Active());
    EXPECT_EQ(c.DestinationSize(), 0u);
    c.SetInputBufferSize(4096);
    EXPECT_EQ(c.InputBufferSize(), 4096);
}

TEST(TACMConvertor, RefusesFormatsTheDecoderCannotProduce) {
    struct Case {
        const char* name;
        void (*change)(TACMConvertor&);
    };
    const Case cases[] = {
        {"pcm in", [](TACMConvertor& c) { c.ACMFormatIn.wfx.wFormatTag = WAVE_FORMAT_PCM; }},
        {"odd rate", [](TACMConvertor& c) { c.ACMFormatIn.wfx.nSamplesPerSec = 44000; }},
        {"three channels", [](TACMConvertor& c) { c.ACMFormatIn.wfx.nChannels = 3; }},
        {"8-bit out", [](TACMConvertor& c) { c.ACMFormatOut.wfx.wBitsPerSample = 8; }},
        {"resampling", [](TACMConvertor& c) { c.ACMFormatOut.wfx.nSamplesPerSec = 48000; }},
        {"channel change", [](TACMConvertor& c) { c.ACMFormatOut.wfx.nChannels = 1; }},
    };
    for (const auto& k : cases) {
        TACMConvertor c;
    SetMp3Formats(c, 2, 44100);
        k.change(c);
        try {
            c.SetActive(true);
            ADD_FAILURE() << k.name;
        } catch (const EACMConvertor& e) {
            EXPECT_STREQ(e.what(), "acmStreamOpen: The requested operation cannot be performed.") << k.name;
        }
        EXPECT_FALSE(c.Active()) << k.name;
        EXPECT_EQ(c.SourceBuffer(), nullptr) << k.name;
    }
}

TEST(TACMConvertor, BadBufferSizeFailsAtSizingAndLeavesNoStream) {
    TACMConvertor c;
    SetMp3Formats(c, 1, 22050);
    c.SetInputBufferSize(0);
    EXPECT_THROW(c.SetActive(true), EACMConvertor);
    EXPECT_FALSE(c.Active());
    EXPECT_EQ(MMSYSERR_INVALHANDLE, c.StreamConvert(0));
}

// Decodes `mp3` through the converter with `dstLimit` bytes of room per call, draining
// what does not fit; returns all PCM.
std::vector<uint8_t> DecodeAll(const std::vector<uint8_t>& mp3, uint16_t channels, uint32_t rate,
                               uint32_t dstLimit) {
    TACMConvertor c;
    SetMp3Formats(c, channels, rate);
    c.SetInputBufferSize(1024);
    c.SetActive(true);
    std::vector<uint8_t> pcm;
    auto& hd = c.Header();
    hd.cbDstLength = std::min(dstLimit, c.DestinationSize());
    for (size_t pos = 0; pos < mp3.size(); pos += 1024) {
        const size_t n = std::min<size_t>(1024, mp3.size() - pos);
        std::memcpy(c.SourceBuffer(), mp3.data() + pos, n);
        hd.cbSrcLength = static_cast<uint32_t>(n);
        EXPECT_EQ(c.StreamConvert(pos == 0 ? ACM_STREAMCONVERTF_START : 0), 0);
        EXPECT_EQ(hd.cbSrcLengthUsed, n);
        EXPECT_LE(hd.cbDstLengthUsed, hd.cbDstLength);
        pcm.insert(pcm.end(), c.DestinationBuffer(), c.DestinationBuffer() + hd.cbDstLengthUsed);
        while (c.HasPendingOutput()) {
            hd.cbSrcLength = 0;
            EXPECT_EQ(c.StreamConvert(ACM_STREAMCONVERTF_END), 0);
            pcm.insert(pcm.end(), c.DestinationBuffer(), c.DestinationBuffer() + hd.cbDstLengthUsed);
        }
    }
    return pcm;
}

TEST(TACMConvertor, SmallDestinationLosesNoSample) {
    TempDir dir;
    const auto mp3 = test::LameSine(dir, 44100, 2, 1.0, 440, "-b 128");
    ASSERT_FALSE(mp3.empty());
    const auto whole = DecodeAll(mp3, 2, 44100, 1u << 30);
    const auto bits = DecodeAll(mp3, 2, 44100, 1000);  // not even one frame fits
    ASSERT_GT(whole.size(), 44100u * 4 * 9 / 10);
    EXPECT_EQ(whole, bits);
}

TEST(TACMConvertor, ResetDropsHeldData) {
    TempDir dir;
    const auto mp3 = test::LameSine(dir, 44100, 1, 0.5, 440, "-b 64 -m m");
    TACMConvertor c;
    SetMp3Formats(c, 1, 44100);
    c.SetInputBufferSize(static_cast<int32_t>(mp3.size()));
    c.SetActive(true);
    auto& hd = c.Header();
    hd.cbDstLength = 100;
    std::memcpy(c.SourceBuffer(), mp3.data(), mp3.size());
    hd.cbSrcLength = static_cast<uint32_t>(mp3.size());
    ASSERT_EQ(c.StreamConvert(ACM_STREAMCONVERTF_START), 0);
    EXPECT_TRUE(c.HasPendingOutput());
    EXPECT_EQ(c.StreamReset(), 0);
    EXPECT_FALSE(c.HasPendingOutput());
    hd.cbSrcLength = 0;
    ASSERT_EQ(c.StreamConvert(ACM_STREAMCONVERTF_END), 0);
    EXPECT_EQ(hd.cbDstLengthUsed, 0u);
}

TEST(Mp3CodecFormats, EveryRateChannelAndLayer3BitRate) {
    Mp3FormatList formats;
    EnumerateMp3CodecFormats(formats);
    ASSERT_EQ(formats.size(), 9u * 2 * 14);
    for (const auto& f : formats) {
        EXPECT_EQ(f.wfx.wFormatTag, WAVE_FORMAT_MPEGLAYER3);
        EXPECT_EQ(f.wfx.wBitsPerSample, 0);
        EXPECT_EQ(f.wfx.nBlockAlign, 1);
        EXPECT_EQ(f.wfx.cbSize, 12);
    }
    auto has = [&](uint16_t ch, uint32_t rate, uint32_t avg) {
        return std::count_if(formats.begin(), formats.end(), [&](const FormatRecord& f) {
            return f.wfx.nChannels == ch && f.wfx.nSamplesPerSec == rate && f.wfx.nAvgBytesPerSec == avg;
        });
    };
    EXPECT_EQ(has(2, 48000, 16000), 1);   // MPEG-1 128 kbit/s
    EXPECT_EQ(has(2, 48000, 40000), 1);   // MPEG-1 320 kbit/s
    EXPECT_EQ(has(2, 48000, 1000), 0);    // 8 kbit/s is not MPEG-1
    EXPECT_EQ(has(1, 22050, 8000), 1);    // MPEG-2 64 kbit/s
    EXPECT_EQ(has(1, 22050, 20000), 1);   // MPEG-2 160 kbit/s
    EXPECT_EQ(has(1, 22050, 24000), 0);   // 192 kbit/s is not MPEG-2
    EXPECT_EQ(has(1, 8000, 1000), 1);     // MPEG-2.5 8 kbit/s
    // The frame size in the MPEGLAYER3WAVEFORMAT tail: 144 × 128000 / 48000 = 384.
    const auto it = std::find_if(formats.begin(), formats.end(), [](const FormatRecord& f) {
        return f.wfx.nChannels == 2 && f.wfx.nSamplesPerSec == 48000 && f.wfx.nAvgBytesPerSec == 16000;
    });
    EXPECT_EQ(it->extra[6] | (it->extra[7] << 8), 384);
}

TEST(FormatRecord, LongInputIsCutAndShortInputZeroFilled) {
    std::vector<uint8_t> big(500, 0xAB);
    const FormatRecord r = FormatRecord::FromBytes(big.data(), big.size());
    const auto b = r.Bytes();
    EXPECT_TRUE(std::all_of(b.begin(), b.end(), [](uint8_t v) { return v == 0xAB; }));
    const uint8_t shortRec[4] = {85, 0, 2, 0};
    const FormatRecord s = FormatRecord::FromBytes(shortRec, 4);
    EXPECT_EQ(s.wfx.wFormatTag, 85);
    EXPECT_EQ(s.wfx.nChannels, 2);
    EXPECT_EQ(s.wfx.nSamplesPerSec, 0u);
}

TEST(MpegFrameHeader, ValidityAndParameters) {
    const struct {
        uint8_t h[4];
        bool valid;
        int rate, kbps;
        bool stereo;
    } cases[] = {
        {{0xFF, 0xFB, 0x94, 0x44}, true, 48000, 128, true},   // MPEG-1 L3 joint stereo
        {{0xFF, 0xF3, 0x80, 0xC4}, true, 22050, 64, false},   // MPEG-2 L3 mono, index 8
        {{0xFF, 0xE3, 0x28, 0xC4}, true, 8000, 16, false},    // MPEG-2.5 L3
        {{0xFF, 0xFB, 0x00, 0x00}, true, 44100, 32, true},    // free format counts as index 1
        {{0xFF, 0xF3, 0x04, 0x00}, true, 24000, 8, true},     // LSF free format
        {{0xFF, 0xFD, 0x94, 0x00}, true, 48000, 160, true},   // MPEG-1 Layer II table
        {{0xFF, 0xEB, 0x90, 0x00}, false, 0, 0, true},        // reserved version 1
        {{0xFF, 0xF9, 0x90, 0x00}, false, 0, 0, true},        // reserved layer 0
        {{0xFF, 0xFB, 0xF0, 0x00}, false, 0, 0, true},        // bit-rate index 15
        {{0xFF, 0xFB, 0x9C, 0x00}, false, 0, 0, true},        // sample-rate index 3
        {{0xFE, 0xFB, 0x90, 0x00}, false, 0, 0, true},        // no sync
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsValidFrameHeader(c.h), c.valid) << std::hex << int(c.h[1]) << int(c.h[2]);
        if (!c.valid) continue;
        const FrameParams p = ParseFrameHeader(c.h);
        EXPECT_EQ(p.sampleRate, c.rate);
        EXPECT_EQ(p.bitRate, c.kbps);
        EXPECT_EQ(p.stereo, c.stereo);
    }
}

}  // namespace
}  // namespace sonvira
