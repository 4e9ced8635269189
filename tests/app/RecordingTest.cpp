// "Aufnehmen" in the main window with a fake sound input: the question, the empty
// document, the buttons, the elapsed time, STOP at every moment, closing, and the
// take-over of exactly the whole blocks captured.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

#include "ControlByName.h"
#include "FakeCaptureDevice.h"
#include "TMainForm.h"
#include "TRecordForm.h"
#include "TPaintBox.h"
#include "TempDir.h"
#include "TranslationContext.h"

namespace sonvira {
namespace {

constexpr int32_t kBlockFrames = 4096;

// Block k of a recording: every sample holds k + 1, so the take-over's order shows.
std::vector<int16_t> NumberedBlock(int k) {
    return std::vector<int16_t>(2 * kBlockFrames, static_cast<int16_t>(k + 1));
}

struct RecordingFixture : ::testing::Test {
    test::TempDir dir;
    FakeCaptureDevice input;
    FakeCaptureDevice* device = &input;
    int devicesMade = 0;
    TMainForm form{QString::fromStdString(dir.path().string()), Platform()};
    AudioDocument& doc = form.Document();
    QPushButton* playBtn = test::Control<QPushButton>(form, "PlayBtn");
    QPushButton* recordBtn = test::Control<QPushButton>(form, "RecordBtn");
    QPushButton* stopBtn = test::Control<QPushButton>(form, "StopBtn");
    QLabel* statusText = test::Control<QLabel>(form, "StatusText");
    std::vector<QString> questions;
    bool answer = true;

    PlatformParts Platform() {
        PlatformParts parts;
        parts.openCapture = [this] {
            ++devicesMade;
            return input.Share();
        };
        return parts;
    }
    RecordingFixture() {
        test::Control<TPaintBox>(form, "PaintBox1")->resize(200, 100);
        form.AskOkCancel = [this](const QString& caption, const QString& text) {
            questions.push_back(caption + "|" + text);
            return answer;
        };
    }
    void During(int ms, std::function<void()> action) { QTimer::singleShot(ms, &form, std::move(action)); }
    void Deliver(int blocks, int first = 0) {
        for (int k = first; k < first + blocks; ++k) {
            const auto block = NumberedBlock(k);
            // In two uneven pieces, as a sound card's callbacks come.
            device->Deliver(block.data(), 1000);
            device->Deliver(block.data() + 2000, kBlockFrames - 1000);
        }
    }
    // Records until the recording ends; false when it needed a second STOP (sent after
    // 3 s), as a run that missed the first one or waited over a failed input would.
    bool RecordingEndsWithoutASecondStop() {
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, &form, [&] { form.StopBTNClick(); });
        watchdog.start(3000);
        form.RecordBtnClick();
        return watchdog.isActive();
    }
    void LoadSound() {
        auto* block = static_cast<uint8_t*>(std::calloc(400, 1));
        doc.InstallBlock(block, 400, 22050, false, false);
    }
};

// The recorder's window is never shown, but its caption is one of the program's texts:
// learnt into the table and translated with the other windows.
TEST_F(RecordingFixture, RecorderCaptionIsTranslatedWithTheWindows) {
    {
        TranslationContext table;
        table.OpenTranslationTable(dir.file("translate.dbf"));
        const std::string row[] = {"MP3 aufnehmen", "Record MP3"};
        table.Table().AppendRecord(row);
    }
    test::WriteBytes(dir.file("options.dat"), {1, 0, 0, 0});
    form.FormShow();
    EXPECT_EQ(test::Control<TRecordForm>(form, "RecordForm")->windowTitle().toStdString(), "Record MP3");
}

TEST_F(RecordingFixture, CancelAtTheQuestionKeepsTheSound) {
    LoadSound();
    answer = false;
    form.RecordBtnClick();
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0], "Neue Aufnahme|Wenn Sie die letzte Aufnahme noch nicht gespeichert "
                            "haben, geht diese nun verloren!");
    EXPECT_EQ(doc.DataSize, 400);
    EXPECT_EQ(doc.SampleRate.load(), 22050);
    EXPECT_FALSE(doc.IsStereo);
    EXPECT_EQ(devicesMade, 0);
    EXPECT_TRUE(recordBtn->isEnabled());
}

TEST_F(RecordingFixture, WholeBlocksInOrderBecomeTheSound) {
    bool duringButtons = false;
    QString duringStatus;
    During(200, [&] {
        ASSERT_TRUE(device->Running()) << "the recording run starts 100 ms after the button";
        duringButtons = !playBtn->isEnabled() && !recordBtn->isEnabled() && stopBtn->isEnabled();
        Deliver(3);
        device->Deliver(NumberedBlock(9).data(), 100);  // a last block cut short by STOP
    });
    During(450, [&] {
        duringStatus = statusText->text();
        form.StopBTNClick();
    });
    form.RecordBtnClick();
    EXPECT_TRUE(questions.empty()) << "an empty document is recorded over without asking";
    EXPECT_TRUE(duringButtons);
    EXPECT_EQ(duringStatus, "Aufnahme läuft: 00:00:00");
    ASSERT_EQ(doc.DataSize, 3 * 16384);
    EXPECT_EQ(doc.SampleRate.load(), 44100);
    EXPECT_TRUE(doc.IsStereo && doc.Is16Bit);
    const auto* samples = reinterpret_cast<const int16_t*>(doc.SampleData);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(samples[2 * k * kBlockFrames], k + 1) << "block " << k;
        EXPECT_EQ(samples[2 * (k + 1) * kBlockFrames - 1], k + 1) << "block " << k;
    }
    EXPECT_TRUE(playBtn->isEnabled() && recordBtn->isEnabled() && !stopBtn->isEnabled());
    EXPECT_TRUE(statusText->text().isEmpty());
    EXPECT_FALSE(device->Running()) << "the input is closed again";
    EXPECT_EQ(device->Starts(), 1);
}

TEST_F(RecordingFixture, RecordingOverASoundAsksThenEmptiesIt) {
    LoadSound();
    During(200, [&] {
        EXPECT_EQ(doc.DataSize, 0) << "the old sound is gone while recording";
        EXPECT_EQ(doc.SampleRate.load(), 44100);
        form.StopBTNClick();
    });
    form.RecordBtnClick();
    EXPECT_EQ(questions.size(), 1u);
    EXPECT_EQ(doc.DataSize, 0) << "STOP before the first block: nothing recorded";
    EXPECT_EQ(doc.SampleData, nullptr);
    EXPECT_TRUE(doc.IsStereo && doc.Is16Bit);
    EXPECT_EQ(doc.SampleRate.load(), 44100);
}

TEST_F(RecordingFixture, StopBeforeTheRunStartsCapturesNothingLater) {
    auto* recordForm = test::Control<TRecordForm>(form, "RecordForm");
    const struct {
        const char* name;
        std::function<void()> afterStop;
    } cases[] = {
        {"the run's timer still to come", [] {}},
        // The run's timer firing in the same pass of events as the STOP, before the
        // window's wait looks at the stop again.
        {"the run's timer right after", [recordForm] {
             recordForm->Timer1->stop();
             recordForm->Timer1Timer();
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        During(30, [&] {
            form.StopBTNClick();
            c.afterStop();
        });
        EXPECT_TRUE(RecordingEndsWithoutASecondStop()) << "one STOP ended the recording";
        bool waited = false;
        QTimer::singleShot(300, [&] { waited = true; });
        while (!waited) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        EXPECT_EQ(devicesMade, 0) << "no capture starts after a stop that came first";
        EXPECT_TRUE(recordBtn->isEnabled());
    }
}

TEST_F(RecordingFixture, ClosingTheWindowEndsTheRecording) {
    form.show();
    During(200, [&] { Deliver(1); });
    During(300, [&] { form.close(); });
    form.RecordBtnClick();
    EXPECT_EQ(doc.DataSize, 16384) << "what was recorded is kept";
    EXPECT_FALSE(device->Running());
}

TEST_F(RecordingFixture, F11WhileRecordingLeavesTheRecordingAlone) {
    struct SilentOutput final : SoundOutput {
        void Start(PlaybackState&, const AudioDocument&) override {}
        void Stop() override {}
    };
    form.Playback().SetOutput(std::make_unique<SilentOutput>());
    bool stopStillEnabled = false;
    During(200, [&] {
        form.HotKeyPressed(0);  // would start playing the (empty) sound and end it at once
        stopStillEnabled = stopBtn->isEnabled() && !playBtn->isEnabled();
        Deliver(1);
    });
    During(350, [&] { form.StopBTNClick(); });
    form.RecordBtnClick();
    EXPECT_TRUE(stopStillEnabled) << "STOP must stay usable while recording";
    EXPECT_EQ(doc.DataSize, 16384);
}

TEST_F(RecordingFixture, OpenWhileRecordingIsRefusedAndTheRecordingGoesOn) {
    bool openEnabled = true;
    bool busy = false;
    During(200, [&] {
        Deliver(2);
        openEnabled = form.MenuItem("ffnen1")->isEnabled();
        busy = form.Busy();
        form.OpenBtnClick();  // refused: no dialog, the recording is not stopped
        form.OpenWhenStopped("elsewhere.wav");
    });
    During(350, [&] {
        Deliver(1);
        form.StopBTNClick();
    });
    form.RecordBtnClick();
    EXPECT_FALSE(openEnabled);
    EXPECT_TRUE(busy);
    EXPECT_EQ(doc.DataSize, 3 * 16384);
    EXPECT_FALSE(test::Control<QTimer>(form, "Timer2")->isActive());
    EXPECT_FALSE(form.Busy());
    EXPECT_TRUE(form.MenuItem("ffnen1")->isEnabled());
}

TEST_F(RecordingFixture, TheUserIsToldWhenTheInputFailsOrPartsOfTheRecordingWereLost) {
    QStringList messages;
    form.ShowMessage = [&messages](QMessageBox::Icon, const QString& text) { messages << text; };

    input.FailStart(true);
    EXPECT_TRUE(RecordingEndsWithoutASecondStop()) << "the recording ended by itself";
    EXPECT_EQ(doc.DataSize, 0);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], "Der Toneingang konnte nicht geöffnet werden. Es wurde nichts aufgenommen.");
    EXPECT_FALSE(form.Busy());
    EXPECT_TRUE(playBtn->isEnabled());

    messages.clear();
    input.FailStart(false);
    During(200, [&] {
        Deliver(1);
        input.ReportOverflow();
        Deliver(1, 1);
    });
    During(350, [&] { form.StopBTNClick(); });
    form.RecordBtnClick();
    EXPECT_EQ(doc.DataSize, 2 * 16384) << "what arrived is kept";
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("Teile der Aufnahme gingen verloren")) << messages[0].toStdString();
}

}  // namespace
}  // namespace sonvira
