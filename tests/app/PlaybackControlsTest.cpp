#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <cstring>
#include <vector>

#include "FakeGlobalHotKeys.h"
#include "FillBuffer.h"
#include "TMainForm.h"
#include "TPaintBox.h"
#include "TempDir.h"

namespace sonvira {
namespace {

// Stands in for the sound card: renders a block every few milliseconds on the window
// thread, as the stream thread would, so the play loop sees the position move.
class TimerSoundOutput : public SoundOutput {
public:
    int starts = 0, stops = 0;
    void Start(PlaybackState& state, const AudioDocument& doc) override {
        ++starts;
        timer_.callOnTimeout([&state, &doc, this] { FillBuffer(state, doc, block_.data(), 8192); });
        timer_.start(2);
    }
    void Stop() override {
        ++stops;
        timer_.stop();
        timer_.disconnect();
    }

private:
    QTimer timer_;
    std::vector<int16_t> block_ = std::vector<int16_t>(4096);
};

struct PlaybackFixture : ::testing::Test {
    test::TempDir dir;
    TMainForm form{QString::fromStdString(dir.path().string())};
    TimerSoundOutput* output = new TimerSoundOutput;

    PlaybackFixture() {
        form.Playback().SetOutput(std::unique_ptr<SoundOutput>(output));
        form.PaintBox1->resize(200, 100);
    }
    void Load(int32_t frames, bool stereo, int32_t rate = 44100) {
        const int32_t bytes = frames * (stereo ? 4 : 2);
        form.Doc.InstallBlock(static_cast<uint8_t*>(std::calloc(size_t(bytes), 1)), bytes, rate, stereo, true);
    }
    // Runs `action` once the play loop is running (after `ms` milliseconds).
    void During(int ms, std::function<void()> action) { QTimer::singleShot(ms, &form, std::move(action)); }
};

TEST_F(PlaybackFixture, F11PlaysPausesAndResumesWithRewind) {
    Load(10 * 44100, false);
    form.SpulEd->SetValue(2);
    bool buttonsWhilePlaying = false;
    double pausedAt = -1, resumedAt = -1;
    During(30, [&] {
        buttonsWhilePlaying = !form.PlayBtn->isEnabled() && form.StopBtn->isEnabled() && form.PauseBtn->isEnabled();
        form.State.PlayPosition = 44100;  // one second in
        form.HotKeyPressed(0);            // pause
        pausedAt = form.State.PlayPosition;
    });
    During(80, [&] {
        form.HotKeyPressed(0);  // resume: two seconds back, not below 0
        resumedAt = form.State.PlayPosition;
    });
    During(120, [&] { form.StopBTNClick(); });
    form.HotKeyPressed(0);  // nothing plays: starts
    EXPECT_TRUE(buttonsWhilePlaying);
    EXPECT_NEAR(pausedAt, 44100, 3000);
    EXPECT_EQ(resumedAt, 0);
    EXPECT_FALSE(form.State.Paused);
    EXPECT_EQ(output->starts, 1);
    EXPECT_EQ(output->stops, 1);
    EXPECT_TRUE(form.PlayBtn->isEnabled());
    EXPECT_FALSE(form.StopBtn->isEnabled());
    EXPECT_FALSE(form.PauseBtn->isEnabled());
}

TEST_F(PlaybackFixture, WithoutLoopPlaybackEndsAtTheEndOfTheSound) {
    Load(20000, true);
    form.SchleifeCheck->setChecked(false);
    bool stopped = false;
    During(3000, [&] { stopped = true; form.StopBTNClick(); });  // safety net only
    form.PlayBtnClick();
    EXPECT_FALSE(stopped) << "the end of the sound should have ended playback";
    EXPECT_GE(form.State.PlayPosition.load(), 20000);
}

TEST_F(PlaybackFixture, EmptyDocumentStartsAndEndsAtOnce) {
    form.PlayBtnClick();
    EXPECT_EQ(output->starts, 1);
    EXPECT_EQ(output->stops, 1);
    EXPECT_TRUE(form.PlayBtn->isEnabled());
    EXPECT_FALSE(form.StopBtn->isEnabled());
}

TEST_F(PlaybackFixture, ClosingTheWindowEndsPlayback) {
    Load(44100, false);
    During(20, [&] { form.close(); });
    form.PlayBtnClick();
    EXPECT_EQ(output->stops, 1);
}

TEST_F(PlaybackFixture, OpenWhilePlayingStopsPlaybackFirst) {
    Load(44100, false);
    bool recorderAsked = false;
    form.OnStopRecording = [&] { recorderAsked = true; };
    During(20, [&] { form.OpenBtnClick(); });
    form.PlayBtnClick();
    EXPECT_EQ(output->stops, 1);
    EXPECT_TRUE(form.Timer2->isActive());
    EXPECT_TRUE(recorderAsked);
    form.Timer2->stop();
}

TEST_F(PlaybackFixture, CoupledFieldsFollowEachOther) {
    form.SpeedEd->SetValue(1.5);
    EXPECT_EQ(form.PitchEd->Value(), 1.5);
    EXPECT_EQ(form.State.PitchFactor, 1.5);

    form.PitchEd->SetValue(20);  // the speed field keeps its bound; the pitch stays
    EXPECT_EQ(form.State.SpeedFactor, 10);
    EXPECT_EQ(form.State.PitchFactor, 20);

    form.PitchSpeedCombineCheck->setChecked(false);
    form.SpeedEd->SetValue(2);
    form.PitchEd->SetValue(1);
    EXPECT_EQ(form.State.SpeedFactor, 2);
    EXPECT_EQ(form.State.PitchFactor, 1);

    form.PitchSpeedCombineCheck->setChecked(true);  // nothing happens yet
    EXPECT_EQ(form.State.SpeedFactor, 2);
    form.SpulEd->SetValue(3);  // runs the pitch field's handler: speed follows the pitch
    EXPECT_EQ(form.State.SpeedFactor, 1);
}

TEST_F(PlaybackFixture, TypedTextCountsAsItStandsUntilTheFieldIsLeft) {
    form.PitchSpeedCombineCheck->setChecked(false);
    form.SpeedEd->findChild<QLineEdit*>()->setText("20");
    EXPECT_EQ(form.State.SpeedFactor, 20) << "the number typed so far";
    QFocusEvent leave(QEvent::FocusOut);
    QCoreApplication::sendEvent(form.SpeedEd, &leave);
    EXPECT_EQ(form.State.SpeedFactor, 10) << "clamped on leaving the field";

    form.SpeedEd->findChild<QLineEdit*>()->setText("");
    EXPECT_NEAR(form.State.SpeedFactor, 0.1, 1e-12) << "no number: the minimum";
    form.SpeedEd->findChild<QLineEdit*>()->setText("1,5");
    EXPECT_EQ(form.State.SpeedFactor, 1.5);
    form.SpeedEd->SetValue(2.345);
    EXPECT_EQ(form.SpeedEd->findChild<QLineEdit*>()->text(), "2.35");
}

// Typing 1, 10, 100: "10" is a value in range, "100" is not; leaving the field turns the
// text back to 10.00 without a new value, and the handler must still see it.
TEST_F(PlaybackFixture, LeavingAFieldThatClampsRunsTheHandlerWithTheValueShown) {
    for (const auto leave : {QEvent::FocusOut, QEvent::KeyPress}) {
        form.SpeedEd->SetValue(1);
        auto* text = form.SpeedEd->findChild<QLineEdit*>();
        for (const char* typed : {"1", "10", "100"}) text->setText(typed);
        ASSERT_EQ(form.State.SpeedFactor, 100);
        if (leave == QEvent::FocusOut) {
            QFocusEvent focusOut(QEvent::FocusOut);
            QCoreApplication::sendEvent(form.SpeedEd, &focusOut);
        } else {
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QCoreApplication::sendEvent(form.SpeedEd, &enter);
        }
        EXPECT_EQ(text->text(), "10.00") << leave;
        EXPECT_EQ(form.State.SpeedFactor, 10) << leave;
        EXPECT_EQ(form.PitchEd->Value(), 10) << "coupled, " << leave;
        EXPECT_EQ(form.State.PitchFactor, 10) << "coupled, " << leave;
    }
}

TEST_F(PlaybackFixture, PermanentChangePutsSpeedIntoTheRateAndResetsTheFields) {
    Load(3000, true, 22050);
    form.SpeedEd->SetValue(1.5);  // coupled: pitch 1.5 as well
    form.StatusText->setText("busy");
    form.DoEffektClick();
    EXPECT_EQ(form.Doc.SampleRate.load(), 33075);
    EXPECT_EQ(form.SpeedEd->Value(), 1);
    EXPECT_EQ(form.PitchEd->Value(), 1);
    EXPECT_EQ(form.State.SpeedFactor, 1);
    EXPECT_TRUE(form.StatusText->text().isEmpty());

    form.Doc.ReleaseBlock();  // without a sound nothing changes, not even the fields
    form.SpeedEd->SetValue(2);
    form.DoEffektClick();
    EXPECT_EQ(form.State.SpeedFactor, 2);
}

}  // namespace
}  // namespace sonvira

namespace sonvira {
namespace {

TEST(PlatformParts, HotKeysReachTheWindowAndAMissingOutputIsReported) {
    test::TempDir dir;
    FakeGlobalHotKeys* keys = nullptr;
    PlatformParts platform;
    platform.openOutput = [] { return std::unique_ptr<SoundOutput>(); };  // no sound card
    platform.makeHotKeys = [&keys](QWidget* owner) { return keys = new FakeGlobalHotKeys(owner); };
    QStringList messages;
    // Messages during creation go through the default box; record them by watching for it.
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            messages << box->text();
            box->accept();
        }
    });
    TMainForm form(QString::fromStdString(dir.path().string()), platform);
    EXPECT_EQ(messages, QStringList("Konnte DirectSound (DirectX) nicht initialisieren..."));
    ASSERT_NE(keys, nullptr);

    form.PitchSpeedCombineCheck->setChecked(false);
    keys->Press(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_F12);
    EXPECT_NEAR(form.State.SpeedFactor, 1.1, 1e-9);
    keys->Press(Qt::ControlModifier | Qt::AltModifier, Qt::Key_F11);
    EXPECT_NEAR(form.State.SpeedFactor, 1.0, 1e-9);
    keys->Press(Qt::NoModifier, Qt::Key_F11);  // no output: the play command does nothing
    EXPECT_TRUE(form.PlayBtn->isEnabled());
    QCoreApplication::removePostedEvents(QCoreApplication::instance());  // the queued quit
}

}  // namespace
}  // namespace sonvira

namespace sonvira {
namespace {

TEST_F(PlaybackFixture, CommandThatReplacesTheBlockStopsPlaybackFirst) {
    Load(44100, false);
    form.Doc.SelAnchor = 100;
    form.Doc.SelEnd = 200;
    int stopsBeforeCrop = -1;
    During(30, [&] {
        form.CropToSelectionClick();  // runs inside the play loop's event handling
        stopsBeforeCrop = output->stops;
    });
    form.PlayBtnClick();
    EXPECT_EQ(stopsBeforeCrop, 1) << "the stream was stopped before the block was replaced";
    EXPECT_EQ(form.Doc.DataSize, 200);
    EXPECT_TRUE(form.PlayBtn->isEnabled());
}

}  // namespace
}  // namespace sonvira
