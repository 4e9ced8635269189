#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDate>
#include <QMenuBar>
#include <QTimer>
#include <stdexcept>

#include "SonviraApplication.h"
#include "MessageCatalogue.h"
#include "TAboutBox.h"
#include "TMainForm.h"
#include "WaitForJob.h"
#include "TOpenDialog.h"
#include "TPaintBox.h"
#include "ControlByName.h"
#include "QtWait.h"
#include "SoundFixtures.h"
#include "TempDir.h"
#include "WavFile.h"

namespace sonvira {
namespace {

// A main window in a fresh program folder, with message boxes recorded instead of shown.
struct FormFixture : ::testing::Test {
    test::TempDir dir;
    TMainForm form{QString::fromStdString(dir.path().string())};
    AudioDocument& doc = form.Document();
    QSpinBox* zoomOutEd = test::Control<QSpinBox>(form, "ZoomOutEd");
    QTimer* timer1 = test::Control<QTimer>(form, "Timer1");
    QTimer* timer2 = test::Control<QTimer>(form, "Timer2");
    QPushButton* stopBtn = test::Control<QPushButton>(form, "StopBtn");
    QStringList messages;

    FormFixture() {
        form.SetCommandLine({});
        form.ShowMessage = [this](QMessageBox::Icon, const QString& text) { messages << text; };
        test::Control<TPaintBox>(form, "PaintBox1")->resize(760, 300);
    }
    std::string Wav(const char* name, int32_t bytes, bool stereo, bool is16, int32_t rate) {
        std::vector<uint8_t> block(static_cast<size_t>(bytes), 0x80);
        const std::string path = dir.file(name);
        EXPECT_TRUE(WriteWav(path, block.data(), stereo, is16, rate, bytes));
        return path;
    }
};

TEST(MainForm, MenuHasEveryItemInOrder) {
    test::TempDir dir;
    TMainForm form(QString::fromStdString(dir.path().string()));
    QStringList seen;
    for (QAction* menu : form.menuBar()->actions()) {
        QStringList items;
        for (QAction* item : menu->menu()->actions())
            items << (item->isSeparator() ? "-" : item->text());
        seen << menu->text() + ": " + items.join(", ");
    }
    EXPECT_EQ(seen.join("\n").toStdString(),
              "Datei: Öffnen..., Zuletzt geöffnet, -, Speichern als WAV/MP3..., -, Von Musik-CD einlesen..., -, "
              "MP3 Ausgabe konfigurieren..., -, Beenden\n"
              "Bearbeiten: Zur Auswahl zurechtschneiden, Die Auswahl wegschneiden, Nichts "
              "auswählen, -, Sampleformat ändern...\n"
              "Ansicht: Ganze Datei, Voller Zoom, Zoom auf Auswahl, Kleiner, Größer\n"
              "Effekte: Echo..., Weich einblenden, Weich ausblenden, Ende auf Anfang überblenden, "
              "Maximale Lautstärke, Lauter 10%, Leiser 10%, Rückwärts, Schneller 10%, Langsamer 10%\n"
              "Sprache: Deutsch, English, Français, -, Übersetzen...\n"
              "Hilfe: Tastenkürzel..., Über das Programm...");
    EXPECT_TRUE(form.MenuItem("Deutsch1")->isChecked());
    EXPECT_NE(form.MenuItem("Weicheinblenden1"), nullptr);
    EXPECT_NE(form.MenuItem("Sampleformatndern1"), nullptr);
    EXPECT_EQ(form.windowTitle().toStdString(), "Orlanda Sonvira 1.0");
    EXPECT_FALSE(test::Control<QPushButton>(form, "StopBtn")->isEnabled());
    EXPECT_FALSE(test::Control<QPushButton>(form, "PauseBtn")->isEnabled());
    EXPECT_EQ(form.ProgramFolder().toStdString(), dir.path().string() + "/");
    EXPECT_DOUBLE_EQ(form.PlayState().SpeedFactor, 1.0);
    EXPECT_DOUBLE_EQ(form.PlayState().PitchFactor, 1.0);
}

struct ZoomCase {
    int32_t bytes;
    bool stereo, is16;
    int zoom;
};

TEST_F(FormFixture, OpenInstallsTheSoundAndZoomsToTheWholeFile) {
    const ZoomCase cases[] = {
        {1000000, true, true, 657},  // 500000 samples over 760 columns
        {100, false, false, 1},      // 0 is raised to the field's minimum
        {2000000, false, false, 2631},
    };
    for (const auto& c : cases) {
        doc.SelAnchor = 5;
        doc.SelEnd = 9;
        test::OpenAndWait(form, QString::fromStdString(Wav("a.wav", c.bytes, c.stereo, c.is16, 22050)));
        EXPECT_TRUE(messages.isEmpty());
        EXPECT_EQ(doc.DataSize, c.bytes);
        EXPECT_EQ(doc.IsStereo, c.stereo);
        EXPECT_EQ(doc.Is16Bit, c.is16);
        EXPECT_EQ(doc.SampleRate.load(), 22050);
        EXPECT_EQ(doc.SelAnchor, 0);
        EXPECT_EQ(doc.SelEnd, 0);
        EXPECT_EQ(zoomOutEd->value(), c.zoom) << c.bytes;
    }
}

TEST_F(FormFixture, FailedOpenKeepsTheSoundButResetsSelectionAndZoom) {
    test::OpenAndWait(form, QString::fromStdString(Wav("good.wav", 4000, true, true, 44100)));
    const uint8_t* block = doc.SampleData;
    test::WriteBytes(dir.file("bad.wav"), {'R', 'I', 'F', 'F', 1, 2});
    doc.SelAnchor = 10;
    doc.SelEnd = 20;
    zoomOutEd->setValue(500);
    for (const char* name : {"bad.wav", "missing.wav", "song.mp3"}) {
        test::OpenAndWait(form, QString::fromStdString(dir.file(name)));
        EXPECT_EQ(doc.SampleData, block) << name;
        EXPECT_EQ(doc.DataSize, 4000) << name;
        EXPECT_TRUE(doc.IsStereo && doc.Is16Bit) << name;
        EXPECT_EQ(doc.SelAnchor, 0) << name;
        EXPECT_EQ(doc.SelEnd, 0) << name;
        EXPECT_EQ(zoomOutEd->value(), 2000 / 760) << name;
    }
    // The missing MP3 is reported by the decoder and once more by the read that follows;
    // each box names the file under the message.
    ASSERT_EQ(messages.size(), 4);
    const char* named[] = {"bad.wav", "missing.wav", "song.mp3", "song.mp3"};
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(messages[i].startsWith(QString::fromStdString("Konnte Datei nicht öffnen!\n\n" + dir.file(named[i]))))
            << messages[i].toStdString();
}

TEST_F(FormFixture, OpenDecodesOtherFormatsAndRefusesOversizedOnesInItsOwnWords) {
    ASSERT_TRUE(test::HaveFfmpeg()) << "the ffmpeg command is needed";
    const std::string flac = test::FfmpegTone(dir, "tone.flac", 48000, 0.5, "", {"-c:a", "flac"});
    ASSERT_FALSE(flac.empty());
    test::OpenAndWait(form, QString::fromStdString(flac));
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(doc.SampleRate.load(), 48000);
    EXPECT_EQ(doc.DataSize, 48000);
    EXPECT_FALSE(doc.IsStereo);
    EXPECT_TRUE(doc.Is16Bit);

    const std::string endless = test::FlacClaimingEndlessLength(dir, flac, "endless.flac");
    ASSERT_FALSE(endless.empty());
    const uint8_t* block = doc.SampleData;
    test::OpenAndWait(form, QString::fromStdString(endless));
    EXPECT_EQ(messages, QStringList("Die Datei ergäbe entpackt mehr als 2 GByte Daten. Sie wurde nicht geöffnet!"));
    EXPECT_EQ(doc.SampleData, block) << "the sound stays";
}

TEST_F(FormFixture, OpenDialogStartsInProgramFolderAndClearsSelectionLater) {
    const std::string path = Wav("chosen.wav", 400, false, true, 8000);
    QString shownIn;
    QStringList filters;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<TOpenDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        shownIn = dialog->directory().absolutePath() + "/";
        filters = dialog->nameFilters();
        dialog->selectFile(QString::fromStdString(path));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    form.OpenBtnClick();
    ASSERT_TRUE(test::WaitUntilIdle(form));
    EXPECT_EQ(shownIn, form.ProgramFolder());
    ASSERT_EQ(filters.size(), 3);  // every entry's patterns: FilesAndLanguageTest
    EXPECT_TRUE(filters[0].startsWith("Alle Klangdateien (*.WAV *.wav *.MP3 *.mp3 *.FLAC *.flac "))
        << filters[0].toStdString();
    EXPECT_EQ(filters[1], "WAV und MP3-Dateien (*.WAV *.wav *.MP3 *.mp3)");
    EXPECT_TRUE(filters[2].startsWith("Weitere Audiodateien (*.FLAC *.flac ")) << filters[2].toStdString();
    EXPECT_EQ(doc.DataSize, 400);
    EXPECT_TRUE(timer1->isActive());
    doc.SelAnchor = 3;
    doc.SelEnd = 7;
    timer1->setInterval(1);
    EXPECT_TRUE(test::WaitUntil([&] { return !timer1->isActive(); }));
    EXPECT_EQ(doc.SelAnchor, 0);
    EXPECT_EQ(doc.SelEnd, 0);
}

TEST_F(FormFixture, CancelledDialogChangesNothing) {
    doc.SelAnchor = 3;
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    form.OpenBtnClick();
    EXPECT_EQ(doc.SelAnchor, 3);
    EXPECT_FALSE(timer1->isActive());
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(FormFixture, OpenWhileSomethingRunsStopsItAndRepeatsLater) {
    stopBtn->setEnabled(true);  // playback runs
    form.OpenBtnClick();        // no dialog: it would block here
    EXPECT_TRUE(form.Playback().StopRequested());
    EXPECT_TRUE(timer2->isActive());
    EXPECT_EQ(timer2->interval(), 200);

    // At the tick the command runs again; with playback ended it shows the dialog.
    stopBtn->setEnabled(false);
    bool dialogShown = false;
    QTimer::singleShot(0, [&] {
        dialogShown = qobject_cast<TOpenDialog*>(QApplication::activeModalWidget()) != nullptr;
        QApplication::activeModalWidget()->close();
    });
    form.Timer2Timer();
    EXPECT_TRUE(dialogShown);
    EXPECT_FALSE(timer2->isActive());
}

TEST_F(FormFixture, FirstShowOpensTheFileNamedOnTheCommandLineOnce) {
    const std::string path = Wav("arg.wav", 44, true, true, 44100);
    form.SetCommandLine({"sonvira", QString::fromStdString(path)});
    form.show();  // opened once the window is on the screen
    EXPECT_TRUE(test::WaitUntil([&] { return doc.DataSize == 44; }));
    doc.SelAnchor = 4;
    form.hide();
    form.show();  // later showings do nothing
    QCoreApplication::processEvents();
    EXPECT_EQ(doc.SelAnchor, 4);
}

// "--" ends the options: what follows is the file, even a name that looks like an option.
TEST_F(FormFixture, AfterADoubleDashTheNextArgumentIsTheFile) {
    const std::string path = Wav("-x.wav", 44, true, true, 44100);
    form.SetCommandLine({"sonvira", "--", QString::fromStdString(path)});
    form.show();
    EXPECT_TRUE(test::WaitUntil([&] { return doc.DataSize == 44; }));
}

TEST(Application, ExceptionFromACommandIsShownAndTheProgramGoesOn) {
    auto* app = qobject_cast<SonviraApplication*>(QCoreApplication::instance());
    ASSERT_NE(app, nullptr);
    QStringList errors;
    const auto previous = app->ReportError;
    app->ReportError = [&](const QString& text) { errors << text; };
    QTimer thrower;
    thrower.setSingleShot(true);
    QObject::connect(&thrower, &QTimer::timeout, [] { throw std::runtime_error("acmStreamOpen: 512"); });
    thrower.start(0);
    test::WaitUntil([&] { return !errors.isEmpty(); });
    app->ReportError = previous;
    EXPECT_EQ(errors, QStringList("acmStreamOpen: 512"));
}

TEST_F(FormFixture, AboutBoxShowsNameVersionYearAndTheMakersAddress) {
    form.FormShow();
    const TAboutBox& box = *test::Control<TAboutBox>(form, "AboutBox");
    EXPECT_EQ(box.windowTitle().toStdString(), "Info");
    EXPECT_TRUE(box.Copyright->text().contains(QString::number(QDate::currentDate().year())));
    EXPECT_TRUE(box.Version->text().contains("1.0"));
    EXPECT_EQ(box.WebAddress(), form.Message(Msg::MakersWebAddress));
    EXPECT_TRUE(box.WebAddress().startsWith("http"));
}

}  // namespace
}  // namespace sonvira
