// One command at a time: while a file is imported on the job's worker, every command that
// would play, open, save, change the sound or the language is refused, whichever way it
// comes (button, menu, hot key, space, a drop, a recent file); STOP and Esc cancel the
// import, which then never becomes the sound; closing ends the program at once.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QElapsedTimer>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <thread>

#include "AnswerSaveDialog.h"
#include "CdAccess.h"
#include "ControlByName.h"
#include "HeldCdReads.h"
#include "ListedBlockDevices.h"
#include "SimulatedCdDrive.h"
#include "TMusikCDForm.h"
#include "QtWait.h"
#include "FakeGlobalHotKeys.h"
#include "TMainForm.h"
#include "TPaintBox.h"
#include "TProgressPanel.h"
#include "TempDir.h"
#include "TimerSoundOutput.h"
#include "WaitForJob.h"
#include "WavFile.h"

namespace sonvira {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A decoder the test holds up. Until released it reports progress and looks at its stop
// flag; a stop makes it return what it has as if it were the whole sound, as the real
// decoders do, so only the window can tell a cut-short import from a whole one.
struct HeldDecoder {
    std::atomic<bool> started{false};
    std::atomic<bool> released{false};
    bool ignoresStop = false;  // a read that hangs

    static constexpr int32_t kBytes = 8000;

    OpenOutcome Decode(std::atomic<bool>& stop, const Mp3ImportHooks& hooks, WavSound& out) {
        started = true;
        for (int percent = 0; !released; percent = (percent + 1) % 100) {
            if (hooks.progress) hooks.progress(percent);
            if (hooks.processEvents) hooks.processEvents();
            if (stop && !ignoresStop) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        out.block.reset(static_cast<uint8_t*>(std::calloc(kBytes, 1)));
        out.size = kBytes;
        out.rate = 8000;
        out.stereo = false;
        out.is16Bit = true;
        OpenOutcome outcome;
        outcome.read = true;
        return outcome;
    }
};

struct BusyFixture : ::testing::Test {
    test::TempDir dir;
    FakeGlobalHotKeys* keys = nullptr;
    std::shared_ptr<test::HeldCdReads> reads = std::make_shared<test::HeldCdReads>();
    TMainForm form{Q(dir.path().string()), Platform()};
    AudioDocument& doc = form.Document();
    QStringList messages;
    std::shared_ptr<HeldDecoder> decoder = std::make_shared<HeldDecoder>();
    std::string oldFile = SilentWav("old.wav", 400);
    std::string newFile = SilentWav("new.wav", 600);

    PlatformParts Platform() {
        PlatformParts platform;
        platform.makeHotKeys = [this](QWidget* owner) { return keys = new FakeGlobalHotKeys(owner); };
        platform.openCd = [this] {
            CdAccess access;
            access.Calls = std::make_unique<test::ListedBlockDevices>(std::vector<std::string>{"sr0"});
            auto transport = std::make_unique<SimulatedCdTransport>();
            SimulatedDisc disc;
            disc.TrackStarts = {0, 300};
            disc.LeadOut = 600;
            disc.BeforeRead = test::HeldCdReads::Hook(reads);
            transport->AddDrive("/dev/sr0", disc);
            access.Transport = std::move(transport);
            return access;
        };
        return platform;
    }
    BusyFixture() {
        form.SetCommandLine({});
        form.ShowMessage = [this](QMessageBox::Icon, const QString& text) { messages << text; };
        test::Control<TPaintBox>(form, "PaintBox1")->resize(760, 300);
        // Window keys need the window shown and active.
        form.show();
        QApplication::setActiveWindow(&form);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
        form.Playback().SetOutput(std::make_unique<test::TimerSoundOutput>());
        test::OpenAndWait(form, Q(oldFile));  // the old sound, read for real
        form.ImportSound = [held = decoder](const std::string&, const std::string&, std::atomic<bool>& stop,
                                            const Mp3ImportHooks& hooks, WavSound& out) {
            return held->Decode(stop, hooks, out);
        };
    }
    std::string SilentWav(const char* name, int32_t bytes) {
        std::vector<uint8_t> block(static_cast<size_t>(bytes), 0x80);
        const std::string path = dir.file(name);
        EXPECT_TRUE(WriteWav(path, block.data(), false, false, 22050, bytes));
        return path;
    }
    // Starts importing the new file and waits until its decoder runs.
    void StartHeldImport() {
        form.OpenFileWithName(Q(newFile));
        ASSERT_TRUE(test::WaitUntil([&] { return decoder->started.load(); }));
        ASSERT_TRUE(form.Busy());
    }
    QWidget* View() { return test::Control<TPaintBox>(form, "PaintBox1"); }
    std::string Settings() const { return ReadAll(dir.file("settings.conf")); }
};

struct BusyCommand {
    const char* name;
    std::function<void(BusyFixture&)> press;
};

// Every way a command reaches the window: none may run while it is busy.
const std::vector<BusyCommand>& BusyCommands() {
    static const std::vector<BusyCommand> commands = {
        {"F11 global", [](BusyFixture& f) { f.form.GlobalHotKeyPressed(0); }},
        {"F11 in the window", [](BusyFixture& f) { QTest::keyClick(f.View(), Qt::Key_F11); }},
        {"space", [](BusyFixture& f) { f.form.SpaceKeyPressed(); }},
        {"faster key", [](BusyFixture& f) { f.form.GlobalHotKeyPressed(2); }},
        {"play button", [](BusyFixture& f) { f.form.PlayBtnClick(); }},
        {"open button", [](BusyFixture& f) { f.form.OpenBtnClick(); }},
        {"Ctrl+O", [](BusyFixture& f) { QTest::keyClick(f.View(), Qt::Key_O, Qt::ControlModifier); }},
        {"recent file", [](BusyFixture& f) { f.form.OpenWhenStopped(Q(f.oldFile)); }},
        {"second open", [](BusyFixture& f) { f.form.OpenFileWithName(Q(f.oldFile)); }},
        {"save", [](BusyFixture& f) { f.form.SaveBtnClick(); }},
        {"Ctrl+S", [](BusyFixture& f) { QTest::keyClick(f.View(), Qt::Key_S, Qt::ControlModifier); }},
        {"crop", [](BusyFixture& f) { f.form.CropToSelectionClick(); }},
        {"louder (menu)", [](BusyFixture& f) { f.form.MenuItem("Lauter101")->trigger(); }},
        {"permanent change", [](BusyFixture& f) { f.form.DoEffektClick(); }},
        {"record", [](BusyFixture& f) { f.form.RecordBtnClick(); }},
        {"English", [](BusyFixture& f) { f.form.English1Click(); }},
        {"English (menu)", [](BusyFixture& f) { f.form.MenuItem("English1")->trigger(); }},
        {"translation editor", [](BusyFixture& f) { f.form.bersetzen1Click(); }},
    };
    return commands;
}

TEST_F(BusyFixture, EveryCommandIsRefusedDuringAnImportAndTheImportStillCompletes) {
    auto* stopBtn = test::Control<QPushButton>(form, "StopBtn");
    QString modalSeen;
    for (const auto& command : BusyCommands()) {
        SCOPED_TRACE(command.name);
        const int32_t soundBefore = doc.DataSize;
        StartHeldImport();
        const double speed = form.PlayState().SpeedFactor;
        // A command that opened a dialog would block here: close it, and remember it.
        QTimer::singleShot(20, [&modalSeen, name = command.name] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                modalSeen = name;
                modal->close();
            }
        });
        command.press(*this);
        QTest::qWait(40);
        EXPECT_TRUE(form.Busy());
        EXPECT_TRUE(stopBtn->isEnabled()) << "STOP stays the import's cancel";
        EXPECT_FALSE(form.Playback().Playing());
        EXPECT_EQ(form.PlayState().SpeedFactor, speed);
        EXPECT_EQ(doc.DataSize, soundBefore);
        EXPECT_EQ(form.Language(), 0);
        EXPECT_FALSE(std::filesystem::exists(dir.file("options.dat")));
        decoder->released = true;
        ASSERT_TRUE(test::WaitUntilIdle(form));
        EXPECT_EQ(doc.DataSize, HeldDecoder::kBytes) << "the import itself went on";
        EXPECT_EQ(form.OpenedFile(), Q(newFile));
        EXPECT_EQ(form.findChild<TProgressPanel*>()->ProgressPercent, 0) << "the bar ends empty";
        decoder->started = false;
        decoder->released = false;
    }
    EXPECT_TRUE(modalSeen.isEmpty()) << modalSeen.toStdString() << " opened a dialog";
    EXPECT_TRUE(messages.isEmpty()) << messages.join("\n").toStdString();
    EXPECT_FALSE(stopBtn->isEnabled());
    EXPECT_TRUE(form.MenuItem("Lauter101")->isEnabled()) << "the controls come back";
    EXPECT_TRUE(test::Control<QPushButton>(form, "PlayBtn")->isEnabled());
}

// The CD dialog is modal while it rips, but global hot keys and direct calls still reach
// the main window: none may play or change anything over the rip, which goes on.
TEST_F(BusyFixture, EveryCommandIsRefusedDuringARipAndTheRipStillCompletes) {
    auto* dialog = test::Control<TMusikCDForm>(form, "MusikCDForm");
    constexpr int32_t kTrackBytes = 300 * 2352;
    QString modalSeen;
    for (const auto& command : BusyCommands()) {
        SCOPED_TRACE(command.name);
        const int32_t soundBefore = doc.DataSize;
        const int heldBefore = reads->Waiting();
        QTimer::singleShot(0, dialog, [&] {
            reads->Hold();
            dialog->BitBtnXP1Click();
            ASSERT_TRUE(test::WaitUntil([&] { return reads->Waiting() > heldBefore; }));
            const double speed = form.PlayState().SpeedFactor;
            QTimer::singleShot(20, [&modalSeen, dialog, name = command.name] {
                QWidget* modal = QApplication::activeModalWidget();
                if (modal && modal != dialog) {
                    modalSeen = name;
                    modal->close();
                }
            });
            command.press(*this);
            QTest::qWait(40);
            EXPECT_TRUE(form.Busy());
            EXPECT_TRUE(dialog->isVisible());
            EXPECT_FALSE(form.Playback().Playing());
            EXPECT_EQ(form.PlayState().SpeedFactor, speed);
            EXPECT_EQ(doc.DataSize, soundBefore);
            EXPECT_EQ(form.Language(), 0);
            EXPECT_FALSE(std::filesystem::exists(dir.file("options.dat")));
            reads->Release();
        });
        form.MusikCDBtnClick();
        EXPECT_EQ(doc.DataSize, kTrackBytes) << "the rip itself went on";
        EXPECT_FALSE(form.Busy());
    }
    EXPECT_TRUE(modalSeen.isEmpty()) << modalSeen.toStdString() << " opened a dialog";
    EXPECT_TRUE(messages.isEmpty()) << messages.join("\n").toStdString();
}

// OK while a sound plays (in a loop): the sound stops before the first read.
TEST_F(BusyFixture, ARipStopsThePlaybackFirst) {
    auto output = std::make_unique<test::TimerSoundOutput>();
    test::TimerSoundOutput* sound = output.get();
    form.Playback().SetOutput(std::move(output));
    auto* dialog = test::Control<TMusikCDForm>(form, "MusikCDForm");
    int startsBeforeRip = 0;
    int stopsDuringRip = 0;
    QTimer::singleShot(0, &form, [&] {  // runs inside the playback's loop
        startsBeforeRip = sound->starts;
        QTimer::singleShot(0, dialog, [&] {
            reads->Hold();
            dialog->BitBtnXP1Click();
            ASSERT_TRUE(test::WaitUntil([&] { return reads->Waiting() > 0; }));
            stopsDuringRip = sound->stops;
            reads->Release();
        });
        form.MusikCDBtnClick();
    });
    form.GlobalHotKeyPressed(0);  // plays until the rip has stopped the sound
    EXPECT_EQ(startsBeforeRip, 1);
    EXPECT_EQ(stopsDuringRip, 1) << "stopped before the read";
    EXPECT_EQ(doc.DataSize, 300 * 2352);
}

// Opening while a sound plays: the play loop ends after the import has started. STOP stays
// the import's cancel, and the play button comes back when the import is over.
TEST_F(BusyFixture, AnImportStartedWhilePlayingKeepsStopAsItsCancel) {
    auto* stopBtn = test::Control<QPushButton>(form, "StopBtn");
    QTimer::singleShot(30, &form, [&] { form.OpenFileWithName(Q(newFile)); });
    form.PlayBtnClick();  // returns once the import has stopped the sound
    ASSERT_TRUE(form.Busy());
    EXPECT_TRUE(stopBtn->isEnabled());
    EXPECT_FALSE(test::Control<QPushButton>(form, "PlayBtn")->isEnabled());
    form.StopBTNClick();
    ASSERT_TRUE(test::WaitUntilIdle(form));
    EXPECT_EQ(doc.DataSize, 400) << "cancelled";
    EXPECT_TRUE(test::Control<QPushButton>(form, "PlayBtn")->isEnabled());
    EXPECT_FALSE(stopBtn->isEnabled());
}

TEST_F(BusyFixture, ADropIsRefusedWhileBusy) {
    StartHeldImport();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(Q(oldFile))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    enter.setAccepted(false);
    QCoreApplication::sendEvent(&form, &enter);
    EXPECT_FALSE(enter.isAccepted());
    decoder->released = true;
    ASSERT_TRUE(test::WaitUntilIdle(form));
    enter.setAccepted(false);
    QCoreApplication::sendEvent(&form, &enter);
    EXPECT_TRUE(enter.isAccepted());
}

TEST_F(BusyFixture, ACancelledImportKeepsTheOldSoundAndRemembersNothing) {
    const struct {
        const char* name;
        std::function<void(TMainForm&)> cancel;
    } cancels[] = {
        {"STOP", [](TMainForm& window) { window.StopBTNClick(); }},
        {"STOP after F11", [](TMainForm& window) {
             window.GlobalHotKeyPressed(0);
             window.StopBTNClick();
         }},
        {"Esc", [](TMainForm& window) { QTest::keyClick(test::Control<TPaintBox>(window, "PaintBox1"), Qt::Key_Escape); }},
    };
    const std::string settingsBefore = Settings();
    for (const auto& c : cancels) {
        SCOPED_TRACE(c.name);
        messages.clear();
        StartHeldImport();
        QElapsedTimer clock;
        clock.start();
        c.cancel(form);
        ASSERT_TRUE(test::WaitUntilIdle(form, 2000));
        EXPECT_LT(clock.elapsed(), 200);
        EXPECT_EQ(doc.DataSize, 400) << "the cut-short sound never becomes the sound";
        EXPECT_EQ(form.OpenedFile(), Q(oldFile));
        EXPECT_EQ(Settings(), settingsBefore) << "nothing remembered for the file";
        ASSERT_EQ(messages.size(), 1);
        EXPECT_EQ(messages[0], "Das Öffnen wurde abgebrochen. Der bisherige Klang bleibt erhalten.");
        decoder->started = false;
    }
    EXPECT_TRUE(test::Control<QPushButton>(form, "PlayBtn")->isEnabled()) << "the old sound can play";
}

TEST_F(BusyFixture, ClosingDuringAnImportEndsWithinASecondAlsoWhenTheDecoderHangs) {
    for (const bool hangs : {false, true}) {
        SCOPED_TRACE(hangs ? "hanging decoder" : "decoder that stops");
        decoder->ignoresStop = hangs;
        form.show();  // closed in the round before
        StartHeldImport();
        QElapsedTimer clock;
        clock.start();
        form.close();
        EXPECT_LT(clock.elapsed(), 1000);
        EXPECT_FALSE(form.Busy());
        QTest::qWait(20);
        EXPECT_EQ(doc.DataSize, 400);
        EXPECT_TRUE(messages.isEmpty()) << "no message while closing";
        decoder->released = true;  // the abandoned worker ends on its own
        QTest::qWait(20);
        decoder->started = false;
        decoder->released = false;
    }
}

// Saving as MP3 borrows the sound for the job: the window shows its last picture, STOP
// cancels the export between chunks and nothing is written; closing ends an export at once.
TEST_F(BusyFixture, AnMp3SaveIsCancelledByStopAndByClosingWithoutAFileLeft) {
    constexpr int32_t kBytes = 44100 * 4 * 300;  // five minutes: far longer than the test
    auto* block = static_cast<uint8_t*>(std::malloc(kBytes));
    for (int32_t i = 0; i < kBytes; ++i) block[i] = static_cast<uint8_t>(i * 37 / 5);
    doc.InstallBlock(block, kBytes, 44100, true, true);
    form.PaintBox1Paint();
    const QImage picture = View()->grab().toImage();
    const auto nothingWritten = [&] {
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            if (entry.path().filename().string().find("take") != std::string::npos) return false;
        return true;
    };
    for (const bool closing : {false, true}) {
        SCOPED_TRACE(closing ? "closing" : "STOP");
        messages.clear();
        test::AnswerSaveDialog(form, dir.file("take.mp3"), 1);
        form.SaveBtnClick();
        ASSERT_TRUE(form.Busy());
        EXPECT_EQ(doc.DataSize, 0) << "the sound is with the worker";
        form.PaintBox1Paint();
        EXPECT_EQ(View()->grab().toImage(), picture) << "the view keeps its picture";
        form.GlobalHotKeyPressed(0);
        EXPECT_FALSE(form.Playback().Playing());
        if (closing) {
            QElapsedTimer clock;
            clock.start();
            form.close();
            EXPECT_LT(clock.elapsed(), 1000);
            EXPECT_TRUE(messages.isEmpty()) << "no message while closing";
        } else {
            form.StopBTNClick();
            ASSERT_TRUE(test::WaitUntilIdle(form, 2000));
            EXPECT_EQ(doc.DataSize, kBytes) << "the sound is back";
            EXPECT_EQ(doc.SampleData[kBytes - 1], static_cast<uint8_t>((kBytes - 1) * 37 / 5));
            EXPECT_EQ(messages, QStringList("Das Speichern wurde abgebrochen. Es wurde nichts geschrieben, "
                                            "eine vorhandene Datei bleibt, wie sie war."));
        }
        EXPECT_FALSE(form.Busy());
        EXPECT_TRUE(nothingWritten()) << "no file and no temporary file";
    }
}

}  // namespace
}  // namespace sonvira
