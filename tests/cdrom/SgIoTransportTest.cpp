#include <fcntl.h>
#include <gtest/gtest.h>

#include "CdCommands.h"
#include "FakeSgSystemCalls.h"
#include "RipTrack.h"
#include "SgIoTransport.h"

namespace sonvira {
namespace {

using test::FakeSgSystemCalls;

class SgIoTransportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SimulatedDisc disc;
        disc.TrackStarts = {0, 300};
        disc.LeadOut = 1000;
        calls.Drives.AddDrive("sim", disc);
        calls.Nodes["/dev/sr0"] = test::FakeNode::Answering("sim");
    }

    FakeSgSystemCalls calls;
    SgIoTransport transport{calls};
};

TEST_F(SgIoTransportTest, FillsTheHeaderAsTheKernelExpectsIt) {
    struct Case {
        std::vector<uint8_t> cdb;
        std::size_t bytes;
        std::chrono::seconds timeout;
    };
    const auto inquiry = InquiryCdb();
    const auto toc = ReadTocCdb();
    const auto read = ReadCdCdb(0x01020304, 10);
    const Case cases[] = {
        {{inquiry.begin(), inquiry.end()}, kInquiryBytes, kShortCommandTimeout},
        {{toc.begin(), toc.end()}, kTocBytes, kShortCommandTimeout},
        {{read.begin(), read.end()}, kSectorsPerRead * kSectorBytes, kReadTimeout},
    };
    std::unique_ptr<CdDrive> drive = transport.OpenDrive("/dev/sr0");
    ASSERT_TRUE(drive);
    EXPECT_EQ(calls.OpenFlags.at(0) & (O_ACCMODE | O_NONBLOCK), O_RDWR | O_NONBLOCK);
    for (const Case& c : cases) {
        std::vector<uint8_t> data(c.bytes);
        drive->SendCdCommand(c.cdb, data, c.timeout);
        const test::SeenSgIo& seen = calls.SgIoCalls.back();
        EXPECT_EQ(seen.InterfaceId, 'S');
        EXPECT_EQ(seen.Direction, SG_DXFER_FROM_DEV);
        EXPECT_EQ(seen.Cdb, c.cdb);
        EXPECT_EQ(seen.CdbLength, c.cdb.size());
        EXPECT_EQ(seen.SenseMax, 24u);
        EXPECT_EQ(seen.DataLength, c.bytes);
        EXPECT_EQ(seen.TimeoutMs, unsigned(c.timeout.count() * 1000));
    }
}

TEST_F(SgIoTransportTest, DeliversDataAndHowMuchCame) {
    std::unique_ptr<CdDrive> drive = transport.OpenDrive("/dev/sr0");
    std::vector<uint8_t> data(kInquiryBytes);
    const CdCommandResult r = drive->SendCdCommand(InquiryCdb(), data, kShortCommandTimeout);
    EXPECT_TRUE(r.Completed);
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Received, 36u);
    EXPECT_EQ(std::string(data.begin() + 16, data.begin() + 32), "SIMULATED CD-RW ");
}

TEST_F(SgIoTransportTest, CheckConditionCarriesTheSenseData) {
    calls.Drives.Disc("sim").ReadRefusal = SimulatedRefusal{2, 0x3A, 0x00};
    std::unique_ptr<CdDrive> drive = transport.OpenDrive("/dev/sr0");
    std::vector<uint8_t> data(kSectorsPerRead * kSectorBytes);
    const CdCommandResult r = drive->SendCdCommand(ReadCdCdb(0, 10), data, kReadTimeout);
    EXPECT_FALSE(r.Completed);
    EXPECT_EQ(r.Status, 2);
    EXPECT_EQ(r.Sense[2], 2);
    EXPECT_EQ(r.Sense[12], 0x3A);
    EXPECT_EQ(r.Sense[13], 0x00);
}

TEST_F(SgIoTransportTest, FailuresOfTheCallOrTheAdapterAreNotCompleted) {
    for (bool sgIoFails : {true, false}) {
        calls.Nodes["/dev/sr0"].SgIoFails = sgIoFails;
        calls.Nodes["/dev/sr0"].HostTimesOut = !sgIoFails;
        std::unique_ptr<CdDrive> drive = transport.OpenDrive("/dev/sr0");
        std::vector<uint8_t> data(kInquiryBytes);
        EXPECT_FALSE(drive->SendCdCommand(InquiryCdb(), data, kShortCommandTimeout).Completed)
            << sgIoFails;
    }
}

TEST_F(SgIoTransportTest, OpensOnlyWhatMayBeOpenedAndClosesWhatItOpened) {
    calls.Nodes["/dev/sr1"] = test::FakeNode::Answering("sim", false);
    EXPECT_EQ(transport.OpenDrive("/dev/sr1"), nullptr);
    EXPECT_EQ(transport.OpenDrive("/dev/sr9"), nullptr);
    {
        std::unique_ptr<CdDrive> drive = transport.OpenDrive("/dev/sr0");
        EXPECT_EQ(calls.OpenFds.size(), 1u);
    }
    EXPECT_TRUE(calls.OpenFds.empty());
}

// The whole rip through SG_IO gives the bytes the simulated drive holds.
TEST_F(SgIoTransportTest, RipsTheLastTrackUpToTheLeadOut) {
    struct Listener : RipListener {
        void Log(DeferredText) override {}
        void ShowPosition(const std::string&) override {}
        bool CancelRequested() override { return false; }
    } listener;
    const RipResult viaSgIo = RipTrack(transport, {"/dev/sr0", true, 2, false}, {}, listener);
    const RipResult viaSimulation = RipTrack(calls.Drives, {"sim", true, 2, false}, {}, listener);
    EXPECT_EQ(viaSgIo.Sound.size(), 700 * kSectorBytes);
    EXPECT_EQ(viaSgIo.Sound, viaSimulation.Sound);
    EXPECT_TRUE(calls.OpenFds.empty());
}

}  // namespace
}  // namespace sonvira
