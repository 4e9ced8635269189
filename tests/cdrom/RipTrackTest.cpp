#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CdCommands.h"
#include "Karaoke.h"
#include "RipTrack.h"
#include "SimulatedCdDrive.h"
#include "TranslationContext.h"

namespace sonvira {
namespace {

constexpr std::size_t kBlockBytes = kSectorsPerRead * kSectorBytes;

// Records what the dialog would show; asks to stop at the n-th event handling.
struct RecordingListener : RipListener {
    std::vector<std::string> lines;
    std::vector<std::string> positions;
    int events = 0;
    int cancelAtEvent = 0;  // 0: never

    void Log(const std::string& line) override { lines.push_back(line); }
    void ShowPosition(const std::string& text) override { positions.push_back(text); }
    bool HandleEvents() override { return ++events == cancelAtEvent; }
};

// Twelve tracks: track 3 starts at sector 40000 and is 1234 sectors long, the last track
// ends at a lead-out that is not a multiple of ten sectors away from its start.
SimulatedDisc TwelveTracks() {
    SimulatedDisc disc;
    disc.TrackStarts = {0, 20000, 40000};
    for (uint32_t start = 41234; disc.TrackStarts.size() < 12; start += 1000)
        disc.TrackStarts.push_back(start);
    disc.LeadOut = disc.TrackStarts.back() + 1005;
    return disc;
}

// The bytes the drive holds for `sectors` sectors from `lba`.
std::vector<uint8_t> DiscBytes(uint32_t lba, uint32_t sectors) {
    std::vector<uint8_t> bytes;
    for (uint32_t s = lba; s < lba + sectors; ++s)
        for (uint32_t f = 0; f < kSectorBytes / 4; ++f)
            for (int ch = 0; ch < 2; ++ch) {
                const auto v = uint16_t(SimulatedSample(s, f, ch));
                bytes.insert(bytes.end(), {uint8_t(v), uint8_t(v >> 8)});
            }
    return bytes;
}

uint32_t ReadCdLba(const SimulatedCommand& c) {
    return uint32_t(c.Cdb[2]) << 24 | uint32_t(c.Cdb[3]) << 16 | uint32_t(c.Cdb[4]) << 8 | c.Cdb[5];
}

class RipTrackTest : public ::testing::Test {
  protected:
    void SetUp() override { transport.AddDrive("/dev/sr0", TwelveTracks()); }

    RipResult Rip(int32_t track, bool karaoke = false, bool spti = true) {
        RipRequest request{"/dev/sr0", spti, track, karaoke};
        return RipTrack(transport, request, tracks, listener, tr);
    }
    std::vector<SimulatedCommand> Reads() const {
        std::vector<SimulatedCommand> reads;
        for (const SimulatedCommand& c : transport.Commands())
            if (c.Cdb[0] == 0xBE) reads.push_back(c);
        return reads;
    }

    SimulatedCdTransport transport;
    TrackTable tracks;
    RecordingListener listener;
    TranslationContext tr;  // no table: the German texts
};

TEST_F(RipTrackTest, TrackOf1234SectorsGives124WholeBlocks) {
    const RipResult result = Rip(3);
    ASSERT_EQ(result.Sound.size(), 124 * kBlockBytes);
    // The last block runs 6 sectors into track 4, as every read covers 10 sectors.
    EXPECT_EQ(result.Sound, DiscBytes(40000, 1240));
    EXPECT_EQ(listener.lines,
              (std::vector<std::string>{"TOC eingelesen...", "12 Tracks gefunden...",
                                        "Starte Ripping...", "Ripping beendet..."}));
    // The commands as the drive saw them: TOC first, then READ CD from the track's start.
    const SimulatedCommand& toc = transport.Commands().front();
    EXPECT_EQ(toc.Cdb, (std::vector<uint8_t>{0x43, 0, 0, 0, 0, 0, 0, 0x08, 0, 0}));
    EXPECT_EQ(toc.DataBytes, 2048u);
    EXPECT_EQ(toc.Timeout.count(), 2);
    const std::vector<SimulatedCommand> reads = Reads();
    ASSERT_EQ(reads.size(), 124u);
    EXPECT_EQ(reads[0].Cdb,
              (std::vector<uint8_t>{0xBE, 0, 0x00, 0x00, 0x9C, 0x40, 0, 0, 0x0A, 0x10, 0, 0}));
    EXPECT_EQ(reads[0].DataBytes, kBlockBytes);
    EXPECT_EQ(reads[0].Timeout.count(), 200);
    EXPECT_EQ(ReadCdLba(reads.back()), 41230u);
    // After 75 blocks (750 sectors) the label shows ten seconds into track 3.
    ASSERT_EQ(listener.positions.size(), 125u);
    EXPECT_EQ(listener.positions[74], "Track no. 3 Time 00:00:10 s");
    EXPECT_EQ(transport.OpenDrives(), 0);
}

TEST_F(RipTrackTest, LastTrackIsReadUpToTheLeadOutAndNoFurther) {
    const RipResult result = Rip(12);
    const uint32_t start = tracks.TrackStart[12];
    EXPECT_EQ(tracks.TrackStart[13], start + 1005);
    EXPECT_EQ(result.Sound, DiscBytes(start, 1005));
    const std::vector<SimulatedCommand> reads = Reads();
    ASSERT_EQ(reads.size(), 101u);
    EXPECT_EQ(ReadCdLba(reads.back()), start + 1000);
    EXPECT_EQ(reads.back().Cdb[8], 5);
    EXPECT_EQ(reads.back().DataBytes, 5 * kSectorBytes);
    EXPECT_EQ(listener.lines.back(), "Ripping beendet...");
    EXPECT_EQ(listener.lines.size(), 4u);  // no error line
    EXPECT_EQ(listener.positions.back(), "Track no. 12 Time 00:00:13 s");
}

TEST_F(RipTrackTest, TrackBeyondTheDiscEndsTheCommandAtOnce) {
    const RipResult result = Rip(13);
    EXPECT_TRUE(result.TrackRefused);
    EXPECT_TRUE(result.Sound.empty());
    EXPECT_EQ(listener.lines,
              (std::vector<std::string>{"TOC eingelesen...", "Ungültige Track-Nummer..."}));
    EXPECT_TRUE(Reads().empty());
    EXPECT_EQ(transport.OpenDrives(), 0);
}

TEST_F(RipTrackTest, KaraokeTurnsEveryBlockIntoTheChannelDifference) {
    std::vector<uint8_t> expected = DiscBytes(40000, 1240);
    KaraokeStep(expected);
    EXPECT_EQ(Rip(3, true).Sound, expected);
}

// Blocks [firstBad, firstBad + badBlocks) of track 3 are refused with a medium error.
TEST_F(RipTrackTest, TenFailuresInARowGoOnTheEleventhStops) {
    struct Case {
        uint32_t badBlocks;
        std::size_t blocksKept;
        std::size_t reads;
    };
    const Case cases[] = {
        {10, 124 - 10, 124},  // a good read after ten failures: on to the end
        {11, 5, 16},          // five good, eleven bad, stop
    };
    for (const Case& c : cases) {
        SimulatedCdTransport t;
        SimulatedDisc disc = TwelveTracks();
        for (uint32_t b = 5; b < 5 + c.badBlocks; ++b)
            disc.BadSectors[40000 + b * 10 + 3] = {3, 0x11, 0x05};
        t.AddDrive("/dev/sr0", disc);
        RecordingListener l;
        TrackTable table;
        const RipResult result = RipTrack(t, {"/dev/sr0", true, 3, false}, table, l, tr);
        EXPECT_EQ(result.Sound.size(), c.blocksKept * kBlockBytes) << c.badBlocks;
        std::size_t reads = 0;
        for (const SimulatedCommand& cmd : t.Commands()) reads += cmd.Cdb[0] == 0xBE;
        EXPECT_EQ(reads, c.reads) << c.badBlocks;
        std::size_t errorLines = 0;
        for (const std::string& line : l.lines)
            errorLines += line ==
                          "Fehler: SCSI Status 2; Code:3;11;5 \"Medium Error: l-ec "
                          "uncorrectable error\"";
        EXPECT_EQ(errorLines, c.badBlocks);
        EXPECT_EQ(l.lines.back(), "Ripping beendet...");
        // The blocks around the refused ones are the disc's own, in order.
        std::vector<uint8_t> expected = DiscBytes(40000, 50);
        if (c.blocksKept > 5) {
            const std::vector<uint8_t> rest =
                DiscBytes(40000 + (5 + c.badBlocks) * 10, 1240 - (5 + c.badBlocks) * 10);
            expected.insert(expected.end(), rest.begin(), rest.end());
        }
        EXPECT_EQ(result.Sound, expected) << c.badBlocks;
    }
}

TEST_F(RipTrackTest, AbbrechenKeepsWhatWasReadIncludingTheBlockInHand) {
    listener.cancelAtEvent = 3;
    const RipResult result = Rip(3);
    EXPECT_EQ(result.Sound, DiscBytes(40000, 30));
    EXPECT_EQ(listener.events, 3);
    EXPECT_EQ(listener.lines.back(), "Ripping beendet...");
}

TEST_F(RipTrackTest, NoMediumLogsStatusSenseAndItsTextThenStops) {
    transport.Disc("/dev/sr0").ReadRefusal = SimulatedRefusal{2, 0x3A, 0x00};
    const RipResult result = Rip(1);
    EXPECT_TRUE(result.Sound.empty());
    ASSERT_EQ(listener.lines.size(), 3u + 11u + 1u);
    EXPECT_EQ(listener.lines[3],
              "Fehler: SCSI Status 2; Code:2;3A;0 \"Not Ready: medium not present\"");
    EXPECT_EQ(Reads().size(), 11u);
}

TEST_F(RipTrackTest, UnreadableTocReadsNothingAndLeavesTheLabel) {
    transport.Disc("/dev/sr0").TocRefusal = SimulatedRefusal{2, 0x3A, 0x00};
    const RipResult result = Rip(1);
    EXPECT_TRUE(result.Sound.empty());
    EXPECT_FALSE(result.TrackRefused);
    EXPECT_EQ(listener.lines,
              (std::vector<std::string>{"Konnte TOC nicht lesen...", "Starte Ripping...",
                                        "Ripping beendet..."}));
    EXPECT_TRUE(listener.positions.empty());
    EXPECT_TRUE(Reads().empty());
}

TEST_F(RipTrackTest, GenericScsiPathUsesItsOwnLines) {
    transport.Disc("/dev/sr0").BadSectors[0] = {3, 0x11, 0x05};
    Rip(1, false, false);
    EXPECT_EQ(listener.lines[1], "12 Tracks gefunden");
    EXPECT_EQ(listener.lines[2], "Starte Ripping...");
    EXPECT_EQ(listener.lines[3], "Fehler 2! Fehler beim Ausführen des SCSI Kommandos...");

    RecordingListener l;
    transport.Disc("/dev/sr0").TocRefusal = SimulatedRefusal{2, 0x3A, 0x00};
    RipTrack(transport, {"/dev/sr0", false, 1, false}, tracks, l, tr);
    EXPECT_EQ(l.lines.front(), "Fehler 2! Konnte TOC nicht lesen...");
}

TEST_F(RipTrackTest, DriveThatCannotBeOpenedLogsAndReadsNothing) {
    struct Case {
        bool spti;
        const char* line;
    };
    const Case cases[] = {
        {true, "Kein Laufwerkszugriff über SPTI möglich..."},
        {false,
         "Konnte ASPI Layer nicht laden. Downloaden Sie den ASPI-Treiber von "
         "http://www.adaptec.com!"},
    };
    for (const Case& c : cases) {
        RecordingListener l;
        const RipResult result = RipTrack(transport, {"/dev/sr7", c.spti, 1, false}, tracks, l, tr);
        EXPECT_TRUE(result.Sound.empty());
        EXPECT_EQ(l.lines, (std::vector<std::string>{c.line, "Ripping beendet..."}));
    }
    EXPECT_TRUE(transport.Commands().empty());
}

TEST_F(RipTrackTest, EmptyDriveBoxLogsOneLineAndTouchesNoDrive) {
    const RipResult result = RipTrack(transport, {"", true, 1, false}, tracks, listener, tr);
    EXPECT_TRUE(result.Sound.empty());
    EXPECT_EQ(listener.lines.size(), 1u);
    EXPECT_TRUE(transport.Commands().empty());
}

}  // namespace
}  // namespace sonvira
