#include <gtest/gtest.h>

#include "FakeSgSystemCalls.h"
#include "FindAllCDDrives.h"
#include "SgIoTransport.h"
#include "TranslationContext.h"

namespace sonvira {
namespace {

using test::FakeSgSystemCalls;

class FindAllCDDrivesTest : public ::testing::Test {
  protected:
    // A drive node answering SG_IO with product identification `product`.
    void AddNode(const std::string& path, const std::string& product, bool answers = true) {
        SimulatedDisc disc;
        disc.ProductId = product;
        disc.AnswersInquiry = answers;
        calls.Drives.AddDrive(path, disc);
        calls.Nodes[path] = test::FakeNode::Answering(path);
    }
    void AddGeneric(const std::string& path, sg_scsi_id id, const std::string& product = "") {
        AddNode(path, product);
        calls.Nodes[path].ScsiId = id;
    }
    CdDriveTable Find() {
        return FindAllCDDrives(calls, transport, tr,
                               [&](const std::string& l) { log.push_back(l); });
    }
    static std::vector<std::string> Lines(const CdDriveTable& t) {
        std::vector<std::string> lines;
        for (const CdDriveEntry& e : t.Drives) lines.push_back(DriveBoxLine(e, t.UseSpti));
        return lines;
    }

    FakeSgSystemCalls calls;
    SgIoTransport transport{calls};
    TranslationContext tr;
    std::vector<std::string> log;
};

TEST_F(FindAllCDDrivesTest, BlockDevicesInNumberOrderWithTheirProductNames) {
    calls.Directories["/sys/class/block"] = {"sr10", "sda", "sr2", "loop0", "sr", "sda1", "srx1"};
    AddNode("/dev/sr2", "DVD-ROM X       ");   // trailing blanks as the drive returned them
    AddNode("/dev/sr10", "CDDVDW SH-224DB8");  // exactly 16 characters
    AddGeneric("/dev/sg0", FakeSgSystemCalls::Id(0, 0, 5));
    calls.Directories["/dev"] = {"sg0"};
    const CdDriveTable table = Find();
    EXPECT_TRUE(table.UseSpti);
    EXPECT_EQ(Lines(table), (std::vector<std::string>{"/dev/sr2: DVD-ROM X       ",
                                                      "/dev/sr10: CDDVDW SH-224DB8"}));
    EXPECT_TRUE(log.empty());
    for (const auto& call : calls.SgIoCalls) EXPECT_EQ(call.Cdb[0], 0x12);
    EXPECT_EQ(calls.SgIoCalls.size(), 2u);  // the generic devices are not touched
    EXPECT_TRUE(calls.OpenFds.empty());
}

TEST_F(FindAllCDDrivesTest, UnopenableDriveIsSkippedSilentDriveIsCdDrive) {
    calls.Directories["/sys/class/block"] = {"sr0", "sr1"};
    AddNode("/dev/sr0", "LOCKED          ");
    calls.Nodes["/dev/sr0"].Openable = false;
    AddNode("/dev/sr1", "", false);
    EXPECT_EQ(Lines(Find()), (std::vector<std::string>{"/dev/sr1: CD-DRIVE"}));
}

TEST_F(FindAllCDDrivesTest, GenericDevicesOfTypeFiveByHostAndTarget) {
    calls.Directories["/sys/class/block"] = {"sr0"};  // only one, and not ours to open
    AddNode("/dev/sr0", "LOCKED          ");
    calls.Nodes["/dev/sr0"].Openable = false;
    calls.Directories["/dev"] = {"sg0", "sg1", "sg2", "sg3", "sda", "sg4"};
    AddGeneric("/dev/sg0", FakeSgSystemCalls::Id(0, 0, 0), "DISK            ");
    AddGeneric("/dev/sg1", FakeSgSystemCalls::Id(1, 0, 5), "SECOND          ");
    AddGeneric("/dev/sg2", FakeSgSystemCalls::Id(0, 3, 5), "FIRST           ");
    AddGeneric("/dev/sg3", FakeSgSystemCalls::Id(1, 2, 5));
    calls.Drives.Disc("/dev/sg3").AnswersInquiry = false;
    AddGeneric("/dev/sg4", FakeSgSystemCalls::Id(1, 4, 5, 1));  // logical unit 1: not asked
    const CdDriveTable table = Find();
    EXPECT_FALSE(table.UseSpti);
    EXPECT_EQ(Lines(table),
              (std::vector<std::string>{"FIRST           ", "SECOND          ", "CD-DRIVE"}));
    ASSERT_EQ(table.Drives.size(), 3u);
    EXPECT_EQ(table.Drives[0].DevicePath, "/dev/sg2");
    EXPECT_EQ(table.Drives[0].HostAdapter, 0);
    EXPECT_EQ(table.Drives[0].Target, 3);
    EXPECT_EQ(table.Drives[1].HostAdapter, 1);
    EXPECT_EQ(log, (std::vector<std::string>{"Fehler 0 beim Ausführen des SCSI Kommandos..."}));
    EXPECT_TRUE(calls.OpenFds.empty());
}

TEST_F(FindAllCDDrivesTest, GenericSearchFailuresEachLogTheirMessage) {
    struct Case {
        const char* what;
        std::vector<std::string> devNames;
        bool openable;
        int version;
        bool idKnown;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {"no generic devices", {}, true, 30536, true, {"Es wurde kein CD-Laufwerk gefunden."}},
        {"none may be opened",
         {"sg0"},
         false,
         30536,
         true,
         {"Auf das CD-Laufwerk fehlt der Zugriff: nötig sind Lese- und Schreibrechte auf /dev/sr* bzw. "
          "/dev/sg*, meist durch Mitgliedschaft in der Gruppe cdrom."}},
        {"driver without SG_IO",
         {"sg0"},
         true,
         20000,
         true,
         {"Konnte ASPI Layer nicht initialisieren..."}},
        {"identity unknown",
         {"sg0"},
         true,
         30536,
         false,
         {"Fehler beim Ausführen des SCSI Kommandos..."}},
        {"adapters without a CD drive", {"sg0"}, true, 30536, true, {}},
    };
    for (const Case& c : cases) {
        FakeSgSystemCalls fake;
        SgIoTransport sgio(fake);
        fake.Directories["/dev"] = c.devNames;
        test::FakeNode node = test::FakeNode::Answering("", c.openable);
        node.SgVersion = c.version;
        if (c.idKnown) node.ScsiId = FakeSgSystemCalls::Id(0, 0, 0);
        fake.Nodes["/dev/sg0"] = node;
        std::vector<std::string> lines;
        const CdDriveTable table =
            FindAllCDDrives(fake, sgio, tr, [&](const std::string& l) { lines.push_back(l); });
        EXPECT_FALSE(table.UseSpti) << c.what;
        EXPECT_TRUE(table.Drives.empty()) << c.what;
        EXPECT_EQ(lines, c.log) << c.what;
        EXPECT_TRUE(fake.OpenFds.empty()) << c.what;
    }
}

TEST_F(FindAllCDDrivesTest, KeepsThirtyTwoDrives) {
    for (int n = 0; n < 40; ++n) {
        calls.Directories["/sys/class/block"].push_back("sr" + std::to_string(n));
        AddNode("/dev/sr" + std::to_string(n), "DRIVE           ");
    }
    const CdDriveTable table = Find();
    ASSERT_EQ(table.Drives.size(), 32u);
    EXPECT_EQ(table.Drives.back().DevicePath, "/dev/sr31");
}

}  // namespace
}  // namespace sonvira
