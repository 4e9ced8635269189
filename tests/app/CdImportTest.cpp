// "Von Musik-CD einlesen..." in the main window against a simulated drive: the first-use
// search fills the drive box, OK reads the chosen track into the sound, Abbrechen during a
// rip keeps what was read, a refused track or an empty drive box leave the sound alone.

#include <gtest/gtest.h>

#include <QAction>
#include <QTimer>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "CdAccess.h"
#include "ControlByName.h"
#include "SimulatedCdDrive.h"
#include "TMainForm.h"
#include "TMusikCDForm.h"
#include "TPaintBox.h"
#include "TempDir.h"

namespace sonvira {
namespace {

constexpr size_t kBlockBytes = 10 * 2352;

// The machine as discovery sees it: the CD block devices listed, no generic SCSI device.
class ListedBlockDevices final : public CdSystemCalls {
public:
    explicit ListedBlockDevices(std::vector<std::string> names) : names_(std::move(names)) {}
    std::vector<std::string> ListDirectory(const std::string& path) override {
        return path == "/sys/class/block" ? names_ : std::vector<std::string>{};
    }
    int Open(const std::string&, int) override { return -1; }
    int Close(int) override { return 0; }
    int Ioctl(int, unsigned long, void*) override { return -1; }

private:
    std::vector<std::string> names_;
};

struct CdImportFixture : ::testing::Test {
    test::TempDir dir;
    SimulatedCdTransport* drives = nullptr;
    TMainForm form{QString::fromStdString(dir.path().string()), Platform()};
    AudioDocument& doc = form.Document();
    TMusikCDForm* dialog = test::Control<TMusikCDForm>(form, "MusikCDForm");

    PlatformParts Platform() {
        PlatformParts parts;
        parts.openCd = [this] {
            CdAccess access;
            access.Calls = std::make_unique<ListedBlockDevices>(std::vector<std::string>{"sda", "sr0"});
            auto transport = std::make_unique<SimulatedCdTransport>();
            SimulatedDisc disc;
            disc.TrackStarts = {0, 300, 900};
            disc.LeadOut = 2134;  // track 3: 1234 sectors
            transport->AddDrive("/dev/sr0", disc);
            drives = transport.get();
            access.Transport = std::move(transport);
            return access;
        };
        return parts;
    }
    CdImportFixture() { test::Control<TPaintBox>(form, "PaintBox1")->resize(200, 100); }
    // Runs the command, doing `inDialog` once the dialog is up.
    void Run(std::function<void()> inDialog) {
        QTimer::singleShot(50, dialog, std::move(inDialog));
        form.MusikCDBtnClick();
    }
    QString LastLogLine() const {
        return dialog->Memo1->toPlainText().split('\n').last();
    }
    void LoadSound() {
        doc.InstallBlock(static_cast<uint8_t*>(std::calloc(400, 1)), 400, 22050, false, false);
    }
};

TEST_F(CdImportFixture, OkReadsTheChosenTrackIntoTheSound) {
    EXPECT_TRUE(form.MenuItem("VonMusikCDeinlesen1")->isEnabled());
    QString driveLine;
    Run([&] {
        driveLine = dialog->DriveBox->currentText();
        dialog->STrackEd->setValue(2);
        dialog->BitBtnXP1Click();
    });
    EXPECT_EQ(driveLine, "/dev/sr0: SIMULATED CD-RW ");
    ASSERT_EQ(doc.DataSize, int32_t(60 * kBlockBytes)) << "sectors 300 … 899";
    EXPECT_EQ(doc.SampleRate.load(), 44100);
    EXPECT_TRUE(doc.IsStereo && doc.Is16Bit);
    int16_t first[2];
    std::memcpy(first, doc.SampleData, 4);
    EXPECT_EQ(first[0], SimulatedSample(300, 0, 0));
    EXPECT_EQ(first[1], SimulatedSample(300, 0, 1));
    EXPECT_EQ(LastLogLine(), "Ripping beendet...");
    // The position after the last block is the next track's start.
    EXPECT_EQ(dialog->Label1->text(), "Track no. 3 Time 00:00:00 s");
    EXPECT_FALSE(dialog->isVisible()) << "the dialog closes after the rip";
}

TEST_F(CdImportFixture, AbbrechenDuringTheRipKeepsWhatWasRead) {
    LoadSound();
    Run([&] {
        dialog->STrackEd->setValue(3);
        // Handled at the rip's first look at the window's events, before its first read.
        QTimer::singleShot(0, dialog, [&] { dialog->BitBtnXP2Click(); });
        dialog->BitBtnXP1Click();
    });
    EXPECT_EQ(doc.DataSize, int32_t(kBlockBytes)) << "the block in hand is still read";
    EXPECT_EQ(LastLogLine(), "Ripping beendet...");
}

TEST_F(CdImportFixture, ARefusedTrackLeavesTheSoundAlone) {
    LoadSound();
    Run([&] {
        dialog->STrackEd->setValue(4);
        dialog->BitBtnXP1Click();
    });
    EXPECT_EQ(doc.DataSize, 400);
    EXPECT_EQ(doc.SampleRate.load(), 22050);
    EXPECT_EQ(LastLogLine(), "Ungültige Track-Nummer...");
}

TEST_F(CdImportFixture, TheDrivesAreSearchedOnceARun) {
    Run([&] { dialog->BitBtnXP2Click(); });
    const size_t inquiries = drives->Commands().size();
    Run([&] { dialog->BitBtnXP2Click(); });
    EXPECT_EQ(drives->Commands().size(), inquiries) << "no second search";
    EXPECT_EQ(dialog->DriveBox->count(), 1);
}

TEST(CdImportWithoutDrive, OkWithAnEmptyDriveBoxSaysSoAndReadsNothing) {
    test::TempDir dir;
    PlatformParts parts;
    parts.openCd = [] {
        CdAccess access;
        access.Calls = std::make_unique<ListedBlockDevices>(std::vector<std::string>{"sda"});
        access.Transport = std::make_unique<SimulatedCdTransport>();
        return access;
    };
    TMainForm form(QString::fromStdString(dir.path().string()), parts);
    auto* dialog = test::Control<TMusikCDForm>(form, "MusikCDForm");
    QTimer::singleShot(50, dialog, [&] { dialog->BitBtnXP1Click(); });
    form.MusikCDBtnClick();
    const QStringList log = dialog->Memo1->toPlainText().split('\n');
    EXPECT_EQ(dialog->DriveBox->count(), 0);
    EXPECT_TRUE(log.contains("Konnte ASPI Layer nicht laden...")) << log.join(" | ").toStdString();
    EXPECT_EQ(log.last(), "Kein CD-Laufwerk gefunden, es wurde nichts gelesen.");
    EXPECT_EQ(form.Document().DataSize, 0);
}

}  // namespace
}  // namespace sonvira
