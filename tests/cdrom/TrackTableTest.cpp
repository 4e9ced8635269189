#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "ChangeSec.h"
#include "Karaoke.h"
#include "TrackTable.h"

namespace sonvira {
namespace {

// A READ TOC format 0 answer: header with its length and first/last, then one descriptor
// per address; byte 1 of each is 0x10 (ADR 1, CONTROL 0: audio) unless `adrControl` says.
std::vector<uint8_t> Toc(uint8_t first, uint8_t last, const std::vector<uint32_t>& addresses,
                         const std::vector<uint8_t>& adrControl = {}) {
    std::vector<uint8_t> toc = {0, 0, first, last};
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        const uint32_t a = addresses[i];
        const uint8_t b1 = i < adrControl.size() ? adrControl[i] : 0x10;
        const uint8_t d[8] = {
            0, b1, 0, 0, uint8_t(a >> 24), uint8_t(a >> 16), uint8_t(a >> 8), uint8_t(a)};
        toc.insert(toc.end(), d, d + 8);
    }
    const std::size_t length = toc.size() - 2;
    toc[0] = uint8_t(length >> 8);
    toc[1] = uint8_t(length);
    return toc;
}

std::vector<uint32_t> Ramp(std::size_t n) {
    std::vector<uint32_t> a(n);
    for (std::size_t i = 0; i < n; ++i) a[i] = static_cast<uint32_t>(i * 1000 + 7);
    return a;
}

TEST(ReadTrackStarts, ReadsTracksAndLeadOutBigEndian) {
    TrackTable table;
    ReadTrackStarts(Toc(1, 3, {0, 0x00012345, 0x01020304, 0xA1B2C3D4}), table);
    EXPECT_EQ(table.TrackCount, 3u);
    EXPECT_EQ(table.TrackStart[1], 0u);
    EXPECT_EQ(table.TrackStart[2], 0x00012345u);
    EXPECT_EQ(table.TrackStart[3], 0x01020304u);
    EXPECT_EQ(table.TrackStart[4], 0xA1B2C3D4u);  // the lead-out
}

TEST(ReadTrackStarts, ReadsOnlyWhatFitsTheTableAndTheAnswer) {
    struct Case {
        const char* what;
        uint8_t first, last;
        std::size_t descriptorsSent;
        std::size_t bytes;  // of the answer handed over; 0: all of it
        int lengthField;    // bytes 0 and 1; -1: the true length
        uint32_t tracks;
    };
    const Case cases[] = {
        // 257 descriptors named and sent: 256 slots, the last serving as lead-out.
        {"more than the slots", 0, 255, 257, 0, -1, 255},
        // The drive's 2048-byte answer holds 255 whole descriptors.
        {"cut by the 2048-byte answer", 1, 255, 257, 2048, -1, 254},
        {"no tracks: last = first - 1", 5, 4, 1, 0, -1, 0},
        {"no tracks: last below first - 1", 9, 2, 4, 0, -1, 0},
        {"answer shorter than its header", 1, 2, 0, 3, -1, 0},
        // The length field names more than came: what came counts.
        {"answer ends inside the lead-out", 1, 2, 3, 4 + 2 * 8 + 5, -1, 1},
        {"answer shorter than its length field", 1, 9, 4, 0, 2 + 10 * 8, 3},
        // What came beyond the length field is not the answer, whatever last − first says.
        {"length field ends at track 2's descriptor", 1, 4, 5, 0, 2 + 2 * 8, 1},
        {"length field ends inside a descriptor", 1, 4, 5, 0, 2 + 3 * 8 - 1, 1},
        {"length field below the header", 1, 4, 5, 0, 1, 0},
        {"length field zero", 1, 4, 5, 0, 0, 0},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> toc = Toc(c.first, c.last, Ramp(c.descriptorsSent));
        if (c.lengthField >= 0) {
            toc[0] = uint8_t(c.lengthField >> 8);
            toc[1] = uint8_t(c.lengthField);
        }
        if (c.bytes) toc.resize(c.bytes);
        TrackTable table;
        table.TrackCount = 99;
        ReadTrackStarts(toc, table);
        EXPECT_EQ(table.TrackCount, c.tracks) << c.what;
        if (c.tracks > 0) {
            EXPECT_EQ(table.TrackStart[c.tracks + 1], c.tracks * 1000 + 7) << c.what;
        }
    }
}

// CONTROL is the low nibble of byte 1; the high one is ADR and says nothing about data.
TEST(ReadTrackStarts, MarksDataTracksByControlBit2) {
    struct Case {
        uint8_t adrControl;
        bool data;
    };
    const Case cases[] = {
        {0x10, false},  // audio
        {0x14, true},   // data
        {0x16, true},   // data, copy permitted
        {0x11, false},  // audio with pre-emphasis
        {0x04, true},   // data, ADR 0
        {0x40, false},  // ADR 4, CONTROL 0
    };
    std::vector<uint32_t> addresses;
    std::vector<uint8_t> adrControl;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        addresses.push_back(uint32_t(i * 1000));
        adrControl.push_back(cases[i].adrControl);
    }
    addresses.push_back(99000);  // the lead-out
    TrackTable table;
    ReadTrackStarts(Toc(1, uint8_t(std::size(cases)), addresses, adrControl), table);
    ASSERT_EQ(table.TrackCount, std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(table.IsDataTrack(uint32_t(i + 1)), cases[i].data) << int(cases[i].adrControl);
}

TEST(ChangeSec, ShowsTrackAndTimeIntoIt) {
    TrackTable t;
    t.TrackCount = 3;
    t.TrackStart[1] = 150;
    t.TrackStart[2] = 20000;
    t.TrackStart[3] = 40000;
    t.TrackStart[4] = 400000;  // lead-out
    struct Case {
        uint32_t pos;
        const char* label;
    };
    const Case cases[] = {
        {40000 + 750, "Track no. 3 Time 00:00:10 s"},
        {40000 + 749, "Track no. 3 Time 00:00:09 s"},
        {20000, "Track no. 2 Time 00:00:00 s"},
        {40000 + 75 * 3661, "Track no. 3 Time 01:01:01 s"},
        {100, "Track no. 1 Time 00:00:00 s"},  // before the first track starts
        // At and after the lead-out: the end of the last track (360000 sectors = 4800 s).
        {400000, "Track no. 3 Time 01:20:00 s"},
        {400009, "Track no. 3 Time 01:20:00 s"},
        {0xFFFFFFFF, "Track no. 3 Time 01:20:00 s"},
    };
    for (const Case& c : cases) EXPECT_EQ(ChangeSec(c.pos, t), c.label) << c.pos;
}

TEST(KaraokeStep, LeavesTwoThirdsOfTheChannelDifferenceInBoth) {
    struct Case {
        int16_t left, right, both;
    };
    const Case cases[] = {
        {3000, 1000, 1333},
        {-1000, 2000, -2000},
        {500, 500, 0},  // what both channels share cancels
        {2, 0, 1},
        {-2, 0, -1},              // truncated toward zero, not down
        {32767, -32768, -21846},  // 43690 kept to its low 16 bits
        {-32768, 32767, 21846},
    };
    std::vector<uint8_t> block;
    for (const Case& c : cases)
        for (int16_t s : {c.left, c.right})
            block.insert(block.end(), {uint8_t(uint16_t(s)), uint8_t(uint16_t(s) >> 8)});
    block.push_back(0x55);  // a part frame stays
    KaraokeStep(block);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        for (int ch = 0; ch < 2; ++ch) {
            const std::size_t at = i * 4 + std::size_t(ch) * 2;
            const auto v = int16_t(uint16_t(block[at] | block[at + 1] << 8));
            EXPECT_EQ(v, cases[i].both) << cases[i].left << "/" << cases[i].right;
        }
    }
    EXPECT_EQ(block.back(), 0x55);
}

}  // namespace
}  // namespace sonvira
