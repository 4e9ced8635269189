// "Von Musik-CD einlesen..." in the main window against a simulated drive: the first-use
// search fills the drive box, OK reads the chosen track into the sound on a worker,
// Abbrechen during a rip keeps what was read, Abbrechen over a read that hangs closes the
// dialog at once, a refused track or an empty drive box leave the sound alone.

#include <gtest/gtest.h>

#include <QAction>
#include <QElapsedTimer>
#include <QScreen>
#include <QTimer>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "CdAccess.h"
#include "ControlByName.h"
#include "HeldCdReads.h"
#include "ListedBlockDevices.h"
#include "QtWait.h"
#include "SimulatedCdDrive.h"
#include "TMainForm.h"
#include "TMusikCDForm.h"
#include "TPaintBox.h"
#include "TempDir.h"

namespace sonvira {
namespace {

constexpr size_t kBlockBytes = 10 * 2352;

struct CdImportFixture : ::testing::Test {
    test::TempDir dir;
    SimulatedCdTransport* drives = nullptr;
    std::shared_ptr<test::HeldCdReads> reads = std::make_shared<test::HeldCdReads>();
    QStringList messages;
    TMainForm form{QString::fromStdString(dir.path().string()), Platform()};
    AudioDocument& doc = form.Document();
    TMusikCDForm* dialog = test::Control<TMusikCDForm>(form, "MusikCDForm");

    PlatformParts Platform() {
        PlatformParts parts;
        parts.openCd = [this] {
            CdAccess access;
            access.Calls = std::make_unique<test::ListedBlockDevices>(std::vector<std::string>{"sda", "sr0"});
            auto transport = std::make_unique<SimulatedCdTransport>();
            SimulatedDisc disc;
            disc.TrackStarts = {0, 300, 900};
            disc.LeadOut = 2134;  // track 3: 1234 sectors
            disc.BeforeRead = test::HeldCdReads::Hook(reads);
            transport->AddDrive("/dev/sr0", disc);
            drives = transport.get();
            access.Transport = std::move(transport);
            return access;
        };
        return parts;
    }
    CdImportFixture() {
        test::Control<TPaintBox>(form, "PaintBox1")->resize(200, 100);
        form.ShowMessage = [this](QMessageBox::Icon, const QString& text) { messages << text; };
    }
    ~CdImportFixture() override {
        // A rip given up over a held read ends on its own once the read returns.
        reads->Release();
        EXPECT_TRUE(test::WaitUntil([&] { return drives->OpenDrives() == 0; }));
    }
    // Starts the rip of `track` and waits until its first read is held.
    void StartHeldRip(int track) {
        reads->Hold();
        dialog->STrackEd->setValue(track);
        dialog->BitBtnXP1Click();
        ASSERT_TRUE(test::WaitUntil([&] { return reads->Waiting() == 1; }));
        EXPECT_TRUE(form.Busy());
    }
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
    QPoint centre, screenCentre;
    form.move(0, 0);  // the dialog's place does not follow the window's
    Run([&] {
        centre = dialog->geometry().center();
        screenCentre = dialog->screen()->availableGeometry().center();
        driveLine = dialog->DriveBox->currentText();
        dialog->STrackEd->setValue(2);
        dialog->BitBtnXP1Click();
    });
    EXPECT_EQ(driveLine, "/dev/sr0: SIMULATED CD-RW ");
    // Within rounding; on the window it would sit about 100 pixels higher.
    EXPECT_LE((centre - screenCentre).manhattanLength(), 4) << "centred on the screen";
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
        StartHeldRip(3);
        dialog->BitBtnXP2Click();
        reads->Release();  // the drive answers well within Abbrechen's wait
    });
    EXPECT_EQ(doc.DataSize, int32_t(2 * kBlockBytes)) << "the read under way and the block in hand";
    EXPECT_EQ(LastLogLine(), "Ripping beendet...");
    EXPECT_FALSE(form.Busy());
}

TEST_F(CdImportFixture, AbbrechenOverAReadThatHangsClosesTheDialogAndTheDriveLater) {
    LoadSound();
    Run([&] {
        StartHeldRip(3);
        dialog->BitBtnXP2Click();
    });
    // Still held: the dialog did not wait for the read.
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(drives->OpenDrives(), 1) << "the read still hangs on the worker";
    EXPECT_FALSE(form.Busy()) << "the window's commands are back";
    EXPECT_EQ(doc.DataSize, 400) << "nothing of a given-up rip is taken";
    EXPECT_EQ(LastLogLine(), "Das Laufwerk antwortet nicht. Das Einlesen wurde abgebrochen, es wurde nichts übernommen.");

    // The drive is still busy with the hanging read: a second rip is refused, not queued.
    Run([&] {
        dialog->BitBtnXP1Click();
        EXPECT_FALSE(form.Busy());
        dialog->BitBtnXP2Click();
    });
    EXPECT_EQ(LastLogLine(), "Das Laufwerk hat den abgebrochenen Lesebefehl noch nicht beendet. "
                             "Bitte später noch einmal versuchen.");

    reads->Release();
    ASSERT_TRUE(test::WaitUntil([&] { return drives->OpenDrives() == 0; })) << "closed when the read returned";
    Run([&] {
        dialog->STrackEd->setValue(3);
        dialog->BitBtnXP1Click();
    });
    EXPECT_EQ(doc.DataSize, int32_t(1234 * 2352)) << "the next rip reads the whole track";
    EXPECT_TRUE(messages.isEmpty()) << messages.join("\n").toStdString();
}

TEST_F(CdImportFixture, ClosingTheProgramDuringAHangingRipEndsItAtOnce) {
    LoadSound();
    QElapsedTimer clock;
    Run([&] {
        StartHeldRip(3);
        clock.start();
        form.close();
    });
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(form.Busy());
    EXPECT_EQ(doc.DataSize, 400);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(CdImportFixture, ARipStopsAtTheLargestSoundAndSaysSo) {
    dialog->MostSoundBytes = 5 * kBlockBytes + 100;
    Run([&] {
        dialog->STrackEd->setValue(3);
        dialog->BitBtnXP1Click();
    });
    EXPECT_EQ(doc.DataSize, int32_t(5 * kBlockBytes)) << "whole blocks up to the limit";
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("Die Aufnahme hat die größte Länge erreicht")) << messages[0].toStdString();
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
        access.Calls = std::make_unique<test::ListedBlockDevices>(std::vector<std::string>{"sda"});
        access.Transport = std::make_unique<SimulatedCdTransport>();
        return access;
    };
    TMainForm form(QString::fromStdString(dir.path().string()), parts);
    auto* dialog = test::Control<TMusikCDForm>(form, "MusikCDForm");
    QTimer::singleShot(50, dialog, [&] { dialog->BitBtnXP1Click(); });
    form.MusikCDBtnClick();
    const QStringList log = dialog->Memo1->toPlainText().split('\n');
    EXPECT_EQ(dialog->DriveBox->count(), 0);
    EXPECT_TRUE(log.contains("Es wurde kein CD-Laufwerk gefunden.")) << log.join(" | ").toStdString();
    EXPECT_EQ(log.last(), "Kein CD-Laufwerk gefunden, es wurde nichts gelesen.");
    EXPECT_EQ(form.Document().DataSize, 0);
}

}  // namespace
}  // namespace sonvira
