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

// Records what the dialog would show; asks to stop at the n-th poll. The log's texts get
// their words only when read, after the rip has returned, as on the window's thread: a
// text still pointing into the finished rip shows up under the sanitizers.
struct RecordingListener : RipListener {
    std::vector<DeferredText> log;
    std::vector<std::string> positions;
    int polls = 0;
    int cancelAtPoll = 0;  // 0: never

    void Log(DeferredText line) override { log.push_back(std::move(line)); }
    void ShowPosition(const std::string& text) override { positions.push_back(text); }
    bool CancelRequested() override { return ++polls == cancelAtPoll; }

    std::vector<std::string> Lines() const {
        TranslationContext tr;  // no table: the German texts
        std::vector<std::string> lines;
        for (const DeferredText& line : log) lines.push_back(line(tr));
        return lines;
    }
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
        return RipTrack(transport, request, {}, listener);
    }
    std::vector<SimulatedCommand> Reads() const {
        std::vector<SimulatedCommand> reads;
        for (const SimulatedCommand& c : transport.Commands())
            if (c.Cdb[0] == 0xBE) reads.push_back(c);
        return reads;
    }

    SimulatedCdTransport transport;
    RecordingListener listener;
};

TEST_F(RipTrackTest, TrackOf1234SectorsGives124WholeBlocks) {
    const RipResult result = Rip(3);
    ASSERT_EQ(result.Sound.size(), 124 * kBlockBytes);
    // The last block runs 6 sectors into track 4, as every read covers 10 sectors.
    EXPECT_EQ(result.Sound, DiscBytes(40000, 1240));
    EXPECT_FALSE(result.Cancelled);
    EXPECT_FALSE(result.LimitReached);
    EXPECT_EQ(result.Tracks.TrackCount, 12u);
    EXPECT_EQ(result.Tracks.TrackStart[3], 40000u);
    EXPECT_EQ(listener.Lines(),
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
    const uint32_t start = result.Tracks.TrackStart[12];
    EXPECT_EQ(result.Tracks.TrackStart[13], start + 1005);
    EXPECT_EQ(result.Sound, DiscBytes(start, 1005));
    const std::vector<SimulatedCommand> reads = Reads();
    ASSERT_EQ(reads.size(), 101u);
    EXPECT_EQ(ReadCdLba(reads.back()), start + 1000);
    EXPECT_EQ(reads.back().Cdb[8], 5);
    EXPECT_EQ(reads.back().DataBytes, 5 * kSectorBytes);
    EXPECT_EQ(listener.Lines().back(), "Ripping beendet...");
    EXPECT_EQ(listener.log.size(), 4u);  // no error line
    EXPECT_EQ(listener.positions.back(), "Track no. 12 Time 00:00:13 s");
}

TEST_F(RipTrackTest, TrackBeyondTheDiscEndsTheCommandAtOnce) {
    const RipResult result = Rip(13);
    EXPECT_TRUE(result.TrackRefused);
    EXPECT_TRUE(result.Sound.empty());
    EXPECT_EQ(listener.Lines(),
              (std::vector<std::string>{"TOC eingelesen...", "Ungültige Track-Nummer..."}));
    EXPECT_TRUE(Reads().empty());
    EXPECT_EQ(transport.OpenDrives(), 0);
}

// READ CD of any sector type would deliver a data track's bytes as if they were sound.
TEST_F(RipTrackTest, DataTrackIsRefusedWithItsOwnLine) {
    transport.Disc("/dev/sr0").DataTracks = {3};
    const RipResult result = Rip(3);
    EXPECT_TRUE(result.TrackRefused);
    EXPECT_TRUE(result.Sound.empty());
    EXPECT_EQ(listener.Lines(),
              (std::vector<std::string>{
                  "TOC eingelesen...", "12 Tracks gefunden...",
                  "Track 3 ist ein Datentrack und keine Musik; er wird nicht gelesen."}));
    EXPECT_TRUE(Reads().empty());
    EXPECT_TRUE(listener.positions.empty());
    EXPECT_TRUE(result.Tracks.IsDataTrack(3));

    // The audio tracks around it are read as ever.
    EXPECT_EQ(Rip(4).Sound.size(), 100 * kBlockBytes);
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
        const RipResult result = RipTrack(t, {"/dev/sr0", true, 3, false}, {}, l);
        EXPECT_EQ(result.Sound.size(), c.blocksKept * kBlockBytes) << c.badBlocks;
        std::size_t reads = 0;
        for (const SimulatedCommand& cmd : t.Commands()) reads += cmd.Cdb[0] == 0xBE;
        EXPECT_EQ(reads, c.reads) << c.badBlocks;
        std::size_t errorLines = 0;
        for (const std::string& line : l.Lines())
            errorLines += line ==
                          "Fehler: SCSI Status 2; Code:3;11;5 \"Medium Error: l-ec "
                          "uncorrectable error\"";
        EXPECT_EQ(errorLines, c.badBlocks);
        EXPECT_EQ(l.Lines().back(), "Ripping beendet...");
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
    listener.cancelAtPoll = 3;
    const RipResult result = Rip(3);
    EXPECT_EQ(result.Sound, DiscBytes(40000, 30));
    EXPECT_TRUE(result.Cancelled);
    EXPECT_FALSE(result.LimitReached);
    EXPECT_EQ(listener.polls, 3);
    EXPECT_EQ(Reads().size(), 3u);
    EXPECT_EQ(listener.Lines().back(), "Ripping beendet...");
}

// The sound stops at whole blocks before the limit; what came before it is kept.
TEST_F(RipTrackTest, SoundStopsBeforeTheBlockThatWouldPassTheLimit) {
    struct Case {
        const char* what;
        int32_t track;
        std::size_t limit;
        std::size_t bytesKept;
        bool limitReached;
    };
    constexpr std::size_t kLastTrack = 100 * kBlockBytes + 5 * kSectorBytes;  // track 12
    const Case cases[] = {
        {"three blocks exactly", 3, 3 * kBlockBytes, 3 * kBlockBytes, true},
        {"a block and a bit short of four", 3, 4 * kBlockBytes - 1, 3 * kBlockBytes, true},
        {"the whole track exactly", 3, 124 * kBlockBytes, 124 * kBlockBytes, false},
        {"the short last block fits", 12, kLastTrack, kLastTrack, false},
        {"the short last block does not", 12, kLastTrack - 1, 100 * kBlockBytes, true},
        {"not one block", 3, kBlockBytes - 1, 0, true},
    };
    for (const Case& c : cases) {
        SimulatedCdTransport t;
        t.AddDrive("/dev/sr0", TwelveTracks());
        RecordingListener l;
        const RipResult result = RipTrack(t, {"/dev/sr0", true, c.track, false}, {}, l, c.limit);
        EXPECT_EQ(result.Sound.size(), c.bytesKept) << c.what;
        EXPECT_EQ(result.LimitReached, c.limitReached) << c.what;
        EXPECT_FALSE(result.Cancelled) << c.what;
        // No read is made for the block that does not fit.
        EXPECT_EQ(t.Commands().size() - 1, (c.bytesKept + kBlockBytes - 1) / kBlockBytes) << c.what;
        EXPECT_EQ(l.Lines().back(), "Ripping beendet...") << c.what;
    }
}

TEST_F(RipTrackTest, NoMediumLogsStatusSenseAndItsTextThenStops) {
    transport.Disc("/dev/sr0").ReadRefusal = SimulatedRefusal{2, 0x3A, 0x00};
    const RipResult result = Rip(1);
    EXPECT_TRUE(result.Sound.empty());
    ASSERT_EQ(listener.log.size(), 3u + 11u + 1u);
    EXPECT_EQ(listener.Lines()[3],
              "Fehler: SCSI Status 2; Code:2;3A;0 \"Not Ready: medium not present\"");
    EXPECT_EQ(Reads().size(), 11u);
}

TEST_F(RipTrackTest, UnreadableTocReadsNothingAndKeepsTheLabelAndTheTable) {
    transport.Disc("/dev/sr0").TocRefusal = SimulatedRefusal{2, 0x3A, 0x00};
    TrackTable previous;
    previous.TrackCount = 2;
    previous.TrackStart = {0, 150, 9000, 20000};
    previous.Control[2] = TrackTable::kDataTrackControl;
    const RipResult result = RipTrack(transport, {"/dev/sr0", true, 1, false}, previous, listener);
    EXPECT_EQ(result.Tracks.TrackCount, 2u);
    EXPECT_EQ(result.Tracks.TrackStart, previous.TrackStart);
    EXPECT_EQ(result.Tracks.Control, previous.Control);
    EXPECT_TRUE(result.Sound.empty());
    EXPECT_FALSE(result.TrackRefused);
    EXPECT_EQ(listener.Lines(),
              (std::vector<std::string>{"Konnte TOC nicht lesen...", "Starte Ripping...",
                                        "Ripping beendet..."}));
    EXPECT_TRUE(listener.positions.empty());
    EXPECT_TRUE(Reads().empty());
}

// Only the bytes the drive delivered are its answer, whatever its length field claims.
TEST_F(RipTrackTest, TocIsReadFromTheBytesThatCame) {
    // Tracks 1 … 4 named, but the answer breaks off after the third descriptor.
    std::vector<uint8_t> toc = {0, 2 + 5 * 8, 1, 4};
    for (uint32_t start : {0u, 20000u, 20500u})
        toc.insert(toc.end(),
                   {0, 0x10, 0, 0, 0, uint8_t(start >> 16), uint8_t(start >> 8), uint8_t(start)});
    transport.Disc("/dev/sr0").RawToc = toc;
    const RipResult result = Rip(2);
    EXPECT_EQ(result.Tracks.TrackCount, 2u);
    EXPECT_EQ(listener.Lines()[1], "2 Tracks gefunden...");
    // Track 2 is the last one now, ending at the third descriptor's address.
    EXPECT_EQ(result.Sound, DiscBytes(20000, 500));
}

TEST_F(RipTrackTest, GenericScsiPathUsesItsOwnLines) {
    transport.Disc("/dev/sr0").BadSectors[0] = {3, 0x11, 0x05};
    Rip(1, false, false);
    const std::vector<std::string> lines = listener.Lines();
    EXPECT_EQ(lines[1], "12 Tracks gefunden");
    EXPECT_EQ(lines[2], "Starte Ripping...");
    EXPECT_EQ(lines[3], "Fehler 2! Fehler beim Ausführen des SCSI Kommandos...");

    RecordingListener l;
    transport.Disc("/dev/sr0").TocRefusal = SimulatedRefusal{2, 0x3A, 0x00};
    RipTrack(transport, {"/dev/sr0", false, 1, false}, {}, l);
    EXPECT_EQ(l.Lines().front(), "Fehler 2! Konnte TOC nicht lesen...");
}

TEST_F(RipTrackTest, DriveThatCannotBeOpenedLogsAndReadsNothing) {
    struct Case {
        bool spti;
        const char* line;
    };
    const Case cases[] = {
        {true, "Kein Laufwerkszugriff über SPTI möglich..."},
        // Linux has no driver to download: the node's access rights are what is missing.
        {false,
         "Kein Zugriff auf das Gerät /dev/sr7. Zum Lesen von CDs braucht der Benutzer Lese- "
         "und Schreibrechte auf /dev/sg* (z. B. als Mitglied der Gruppe cdrom)."},
    };
    for (const Case& c : cases) {
        RecordingListener l;
        const RipResult result = RipTrack(transport, {"/dev/sr7", c.spti, 1, false}, {}, l);
        EXPECT_TRUE(result.Sound.empty());
        EXPECT_EQ(l.Lines(), (std::vector<std::string>{c.line, "Ripping beendet..."}));
    }
    EXPECT_TRUE(transport.Commands().empty());
}

TEST_F(RipTrackTest, EmptyDriveBoxLogsOneLineAndTouchesNoDrive) {
    const RipResult result = RipTrack(transport, {"", true, 1, false}, {}, listener);
    EXPECT_TRUE(result.Sound.empty());
    EXPECT_EQ(listener.Lines(),
              (std::vector<std::string>{"Kein CD-Laufwerk gefunden, es wurde nichts gelesen."}));
    EXPECT_TRUE(transport.Commands().empty());
}

}  // namespace
}  // namespace sonvira
