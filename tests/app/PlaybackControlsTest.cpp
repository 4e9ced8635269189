#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QMessageBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "FakeGlobalHotKeys.h"
#include "FillBuffer.h"
#include "TMainForm.h"
#include "TPaintBox.h"
#include "ControlByName.h"
#include "TempDir.h"
#include "WaitForJob.h"
#include "TimerSoundOutput.h"

namespace sonvira {
namespace {

struct PlaybackFixture : ::testing::Test {
    test::TempDir dir;
    TMainForm form{QString::fromStdString(dir.path().string())};
    AudioDocument& doc = form.Document();
    PlaybackState& state = form.PlayState();
    TFloatSpinEdit* speedEd = test::Control<TFloatSpinEdit>(form, "SpeedEd");
    TFloatSpinEdit* pitchEd = test::Control<TFloatSpinEdit>(form, "PitchEd");
    TFloatSpinEdit* spulEd = test::Control<TFloatSpinEdit>(form, "SpulEd");
    QCheckBox* combineCheck = test::Control<QCheckBox>(form, "PitchSpeedCombineCheck");
    QPushButton* playBtn = test::Control<QPushButton>(form, "PlayBtn");
    QPushButton* stopBtn = test::Control<QPushButton>(form, "StopBtn");
    QPushButton* pauseBtn = test::Control<QPushButton>(form, "PauseBtn");
    test::TimerSoundOutput* output = new test::TimerSoundOutput;

    PlaybackFixture() {
        form.Playback().SetOutput(std::unique_ptr<SoundOutput>(output));
        test::Control<TPaintBox>(form, "PaintBox1")->resize(200, 100);
    }
    void Load(int32_t frames, bool stereo, int32_t rate = 44100) {
        const int32_t bytes = frames * (stereo ? 4 : 2);
        doc.InstallBlock(static_cast<uint8_t*>(std::calloc(size_t(bytes), 1)), bytes, rate, stereo, true);
    }
    // Runs `action` once the play loop is running (after `ms` milliseconds).
    void During(int ms, std::function<void()> action) { QTimer::singleShot(ms, &form, std::move(action)); }
};

TEST_F(PlaybackFixture, F11PlaysPausesAndResumesWithRewind) {
    Load(10 * 44100, false);
    spulEd->SetValue(2);
    bool buttonsWhilePlaying = false;
    double pausedAt = -1, resumedAt = -1;
    During(30, [&] {
        buttonsWhilePlaying = !playBtn->isEnabled() && stopBtn->isEnabled() && pauseBtn->isEnabled();
        state.PlayPosition = 44100;  // one second in
        form.HotKeyPressed(0);       // pause
        pausedAt = state.PlayPosition;
    });
    During(80, [&] {
        form.HotKeyPressed(0);  // resume: two seconds back, not below 0
        resumedAt = state.PlayPosition;
    });
    During(120, [&] { form.StopBTNClick(); });
    form.HotKeyPressed(0);  // nothing plays: starts
    EXPECT_TRUE(buttonsWhilePlaying);
    EXPECT_NEAR(pausedAt, 44100, 3000);
    EXPECT_EQ(resumedAt, 0);
    EXPECT_FALSE(state.Paused);
    EXPECT_EQ(output->starts, 1);
    EXPECT_EQ(output->stops, 1);
    EXPECT_TRUE(playBtn->isEnabled());
    EXPECT_FALSE(stopBtn->isEnabled());
    EXPECT_FALSE(pauseBtn->isEnabled());
}

TEST_F(PlaybackFixture, WithoutLoopPlaybackEndsAtTheEndOfTheSound) {
    Load(20000, true);
    test::Control<QCheckBox>(form, "SchleifeCheck")->setChecked(false);
    bool stopped = false;
    During(3000, [&] { stopped = true; form.StopBTNClick(); });  // safety net only
    form.PlayBtnClick();
    EXPECT_FALSE(stopped) << "the end of the sound should have ended playback";
    EXPECT_GE(state.PlayPosition.load(), 20000);
}

TEST_F(PlaybackFixture, EmptyDocumentStartsAndEndsAtOnce) {
    form.PlayBtnClick();
    EXPECT_EQ(output->starts, 1);
    EXPECT_EQ(output->stops, 1);
    EXPECT_TRUE(playBtn->isEnabled());
    EXPECT_FALSE(stopBtn->isEnabled());
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
    auto* timer2 = test::Control<QTimer>(form, "Timer2");
    EXPECT_TRUE(timer2->isActive());
    EXPECT_TRUE(recorderAsked);
    timer2->stop();
}

TEST_F(PlaybackFixture, CoupledFieldsFollowEachOther) {
    speedEd->SetValue(1.5);
    EXPECT_EQ(pitchEd->Value(), 1.5);
    EXPECT_EQ(state.PitchFactor, 1.5);

    pitchEd->SetValue(20);  // the speed field keeps its bound; the pitch stays
    EXPECT_EQ(state.SpeedFactor, 10);
    EXPECT_EQ(state.PitchFactor, 20);

    combineCheck->setChecked(false);
    speedEd->SetValue(2);
    pitchEd->SetValue(1);
    EXPECT_EQ(state.SpeedFactor, 2);
    EXPECT_EQ(state.PitchFactor, 1);

    combineCheck->setChecked(true);  // nothing happens yet
    EXPECT_EQ(state.SpeedFactor, 2);
    spulEd->SetValue(3);  // runs the pitch field's handler: speed follows the pitch
    EXPECT_EQ(state.SpeedFactor, 1);
}

TEST_F(PlaybackFixture, TypedTextCountsAsItStandsUntilTheFieldIsLeft) {
    combineCheck->setChecked(false);
    speedEd->findChild<QLineEdit*>()->setText("20");
    EXPECT_EQ(state.SpeedFactor, 20) << "the number typed so far";
    QFocusEvent leave(QEvent::FocusOut);
    QCoreApplication::sendEvent(speedEd, &leave);
    EXPECT_EQ(state.SpeedFactor, 10) << "clamped on leaving the field";

    speedEd->findChild<QLineEdit*>()->setText("");
    EXPECT_EQ(state.SpeedFactor, 10) << "no number: the value before";
    QCoreApplication::sendEvent(speedEd, &leave);
    EXPECT_EQ(speedEd->findChild<QLineEdit*>()->text(), "10.00") << "shown again on leaving";
    speedEd->findChild<QLineEdit*>()->setText("1,5");
    EXPECT_EQ(state.SpeedFactor, 1.5);
    speedEd->SetValue(2.345);
    EXPECT_EQ(speedEd->findChild<QLineEdit*>()->text(), "2.35");
}

// A letter typed into a factor field (Alt+D when the menus have no access key for it) is
// refused; the speed stays.
TEST_F(PlaybackFixture, ALetterTypedIntoAFactorFieldIsRefused) {
    combineCheck->setChecked(false);
    speedEd->SetValue(1);
    auto* text = speedEd->findChild<QLineEdit*>();
    text->end(false);
    QTest::keyClick(speedEd, Qt::Key_D);
    EXPECT_EQ(text->text(), "1.00");
    EXPECT_EQ(state.SpeedFactor, 1);
    QTest::keyClick(speedEd, Qt::Key_Backspace);
    QTest::keyClick(speedEd, Qt::Key_5);
    EXPECT_EQ(text->text(), "1.05") << "digits still go in";
    EXPECT_EQ(state.SpeedFactor, 1.05);
}

// Typing 1, 10, 100: "10" is a value in range, "100" is not; leaving the field turns the
// text back to 10.00 without a new value, and the handler must still see it.
TEST_F(PlaybackFixture, LeavingAFieldThatClampsRunsTheHandlerWithTheValueShown) {
    for (const auto leave : {QEvent::FocusOut, QEvent::KeyPress}) {
        speedEd->SetValue(1);
        auto* text = speedEd->findChild<QLineEdit*>();
        for (const char* typed : {"1", "10", "100"}) text->setText(typed);
        ASSERT_EQ(state.SpeedFactor, 100);
        if (leave == QEvent::FocusOut) {
            QFocusEvent focusOut(QEvent::FocusOut);
            QCoreApplication::sendEvent(speedEd, &focusOut);
        } else {
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QCoreApplication::sendEvent(speedEd, &enter);
        }
        EXPECT_EQ(text->text(), "10.00") << leave;
        EXPECT_EQ(state.SpeedFactor, 10) << leave;
        EXPECT_EQ(pitchEd->Value(), 10) << "coupled, " << leave;
        EXPECT_EQ(state.PitchFactor, 10) << "coupled, " << leave;
    }
}

TEST_F(PlaybackFixture, PermanentChangePutsSpeedIntoTheRateAndResetsTheFields) {
    Load(3000, true, 22050);
    speedEd->SetValue(1.5);  // coupled: pitch 1.5 as well
    auto* statusText = test::Control<QLabel>(form, "StatusText");
    statusText->setText("busy");
    form.DoEffektClick();
    ASSERT_TRUE(test::WaitUntilIdle(form));
    EXPECT_EQ(doc.SampleRate.load(), 33075);
    EXPECT_EQ(speedEd->Value(), 1);
    EXPECT_EQ(pitchEd->Value(), 1);
    EXPECT_EQ(state.SpeedFactor, 1);
    EXPECT_TRUE(statusText->text().isEmpty());

    doc.ReleaseBlock();  // without a sound nothing changes, not even the fields
    speedEd->SetValue(2);
    form.DoEffektClick();
    EXPECT_FALSE(form.Busy());
    EXPECT_EQ(state.SpeedFactor, 2);
}

// With "Hohe Klangqualität" the permanent change moves a tone cleanly: an octave down, the
// 220 Hz tone carries nearly all of the sound. (The standard engine's blocks, each shifted
// on its own, leave much of it elsewhere.)
TEST_F(PlaybackFixture, PermanentChangeTakesTheChosenEngine) {
    const auto toneShare = [this](bool highQuality) {
        constexpr int32_t kFrames = 44100 * 3;
        auto* block = static_cast<int16_t*>(std::malloc(size_t{kFrames} * 4));
        for (int32_t f = 0; f < kFrames; ++f)
            block[2 * f] = block[2 * f + 1] = static_cast<int16_t>(std::lround(16000 * std::sin(2 * M_PI * 440 * f / 44100.0)));
        doc.InstallBlock(reinterpret_cast<uint8_t*>(block), kFrames * 4, 44100, true, true);
        test::Control<QCheckBox>(form, "HighQualityCheck")->setChecked(highQuality);
        combineCheck->setChecked(false);
        pitchEd->SetValue(2);
        form.DoEffektClick();
        EXPECT_TRUE(test::WaitUntilIdle(form));
        // One second from the middle: 220 whole periods, so the fit at 220 Hz is exact.
        double sine = 0, cosine = 0, total = 0;
        for (int32_t f = 44100; f < 2 * 44100; ++f) {
            int16_t v;
            std::memcpy(&v, doc.SampleData + 4 * f, 2);
            sine += v * std::sin(2 * M_PI * 220 * f / 44100.0);
            cosine += v * std::cos(2 * M_PI * 220 * f / 44100.0);
            total += double(v) * v;
        }
        return 2 * (sine * sine + cosine * cosine) / 44100 / total;
    };
    EXPECT_GE(toneShare(true), 0.999);
    EXPECT_LT(toneShare(false), 0.99);
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

    test::Control<QCheckBox>(form, "PitchSpeedCombineCheck")->setChecked(false);
    keys->Press(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_F12);
    EXPECT_NEAR(form.PlayState().SpeedFactor, 1.1, 1e-9);
    keys->Press(Qt::ControlModifier | Qt::AltModifier, Qt::Key_F11);
    EXPECT_NEAR(form.PlayState().SpeedFactor, 1.0, 1e-9);
    keys->Press(Qt::NoModifier, Qt::Key_F11);  // no output: the play command does nothing
    EXPECT_TRUE(test::Control<QPushButton>(form, "PlayBtn")->isEnabled());
    QCoreApplication::removePostedEvents(QCoreApplication::instance());  // the queued quit
}

}  // namespace
}  // namespace sonvira

namespace sonvira {
namespace {

TEST_F(PlaybackFixture, CommandThatReplacesTheBlockStopsPlaybackFirst) {
    Load(44100, false);
    doc.SelAnchor = 100;
    doc.SelEnd = 200;
    int stopsBeforeCrop = -1;
    During(30, [&] {
        form.CropToSelectionClick();  // runs inside the play loop's event handling
        stopsBeforeCrop = output->stops;
    });
    form.PlayBtnClick();
    ASSERT_TRUE(test::WaitUntilIdle(form));
    EXPECT_EQ(stopsBeforeCrop, 1) << "the stream was stopped before the block was replaced";
    EXPECT_EQ(doc.DataSize, 200);
    EXPECT_TRUE(playBtn->isEnabled());
}

}  // namespace
}  // namespace sonvira
