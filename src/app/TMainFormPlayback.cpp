// Playback controls of the main window: the two coupled factor fields, pause with
// rewind, the hot keys, and making speed and pitch permanent.
#include <QEventLoop>
#include <QSignalBlocker>
#include <QTimer>

#include "HighQualityPermanentChange.h"
#include "PermanentChange.h"
#include "PostedProgress.h"
#include "ProgramSettings.h"
#include "TMainForm.h"
#include "TPaintBox.h"
#include "TProgressPanel.h"
#include "WaveformDrawing.h"
#include "WaveformViewModel.h"

namespace sonvira {

void TMainForm::SpeedEdChange() { playback_.SpeedFieldChanged(); }

void TMainForm::PitchEdChange() { playback_.PitchFieldChanged(); }

void TMainForm::PauseBtnClick() { playback_.PauseOrResume(); }

void TMainForm::HotKeyPressed(int id) {
    if (Busy()) return;  // no key may start or steer playback over a job or a recording
    // F11 starts playing only where the play button could: not while a recording runs.
    if (playback_.HotKey(id) && PlayBtn->isEnabled()) PlayBtnClick();
}

void TMainForm::HotKeysNeedFocus() {
    if (hotKeysNeedFocus_) return;
    hotKeysNeedFocus_ = true;
    // Before the first showing the walk would take the joined text for one German key.
    if (FirstShowDone) AddHotKeyFocusNote();
}

void TMainForm::AddHotKeyFocusNote() {
    HintLabel->setText(HintLabel->text() + " " +
                       Tr("Auf diesem Desktop wirken die Tasten nur, solange das Programmfenster den Fokus hat."));
}

void TMainForm::SetPlayPosition(double frame) { playback_.SetPlayPosition(frame); }

void TMainForm::DoEffektClick() {
    if (Busy() || Doc.DataSize == 0) return;  // no sound: nothing changes, the fields keep their values
    SetProStatus(0);
    const double speed = State.SpeedFactor;
    const double pitch = State.PitchFactor;
    const bool highQuality = HighQualityCheck->isChecked();  // the engine the user listens with moves the pitch
    const std::function<void(int)> showProgress = [this](int percent) { SetProStatus(percent); };
    // The pitch moves in place, block by block: half done it could not be taken back, so the
    // change is not cancelled.
    RunSoundJob(
        [speed, pitch, highQuality, showProgress](AudioDocument& doc, JobContext& job) {
            const ProgressCallback progress = PostedProgress(job, showProgress);
            if (highQuality)
                ApplyHighQualityPermanentChange(doc, speed, pitch, progress);
            else
                ApplyPermanentChange(doc, speed, pitch, progress);
        },
        [this] {
            SpeedEd->SetValue(1);
            PitchEd->SetValue(1);
            StatusText->clear();
            PaintBox1Paint();
        },
        false);
}

void TMainForm::ConnectPlaybackControls() {
    connect(SpeedEd, &TFloatSpinEdit::Changed, this, &TMainForm::SpeedEdChange);
    connect(PitchEd, &TFloatSpinEdit::Changed, this, &TMainForm::PitchEdChange);
    connect(SpulEd, &TFloatSpinEdit::Changed, this, &TMainForm::PitchEdChange);
    connect(SchleifeCheck, &QCheckBox::toggled, this, [this](bool on) { playback_.SetLoop(on); });
    connect(HighQualityCheck, &QCheckBox::toggled, this, &TMainForm::HighQualityCheckClick);
    connect(PauseBtn, &QPushButton::clicked, this, &TMainForm::PauseBtnClick);
    connect(PlayBtn, &QPushButton::clicked, this, &TMainForm::PlayBtnClick);
    connect(StopBtn, &QPushButton::clicked, this, &TMainForm::StopBTNClick);
    connect(DoEffektBtn, &QPushButton::clicked, this, &TMainForm::DoEffektClick);
}

// The engine changes at the stream's next block, while playing too; the choice is kept
// for the next start (when the settings file cannot be written, for this run only).
void TMainForm::HighQualityCheckClick(bool on) {
    playback_.SetHighQuality(on);
    Settings.SetBool(kHighQualitySetting, on);
    Settings.Save();
}

void TMainForm::LoadSettings() {
    Settings = LoadProgramSettings(DataFile("settings.conf"));
    const bool highQuality = Settings.GetBool(kHighQualitySetting, false);
    const QSignalBlocker quiet(HighQualityCheck);  // taking the stored choice is no change
    HighQualityCheck->setChecked(highQuality);
    playback_.SetHighQuality(highQuality);
    LoadFilePlaces();
}

void TMainForm::SetTransportPlaying(bool playing) {
    // A play loop may end after a job has started from inside it: the buttons then come
    // back as the loop left them once the job is over, and STOP stays the job's cancel.
    SetEnabledWhenIdle(PlayBtn, !playing);
    SetEnabledWhenIdle(RecordBtn, !playing && RecordBtnAvailable);
    SetEnabledWhenIdle(PauseBtn, playing);
    StopBtn->setEnabled(playing || jobCancellable_);
}

void TMainForm::PlayBtnClick() {
    if (Busy() || !playback_.BeginPlay()) return;
    do {
        // Let the window handle its events for one marker step (about 60 per second),
        // sleeping while nothing happens.
        QEventLoop step;
        QTimer::singleShot(kMarkerStepMs, &step, &QEventLoop::quit);
        step.exec();
        MovePlayMarker(MarkerColumn(State.ReadIndex, CurrentView()));
    } while (playback_.PlayGoesOn());
    playback_.EndPlay();
    PaintBox1Paint();
}

void TMainForm::MovePlayMarker(int32_t x) {
    if (x == PlayMarkerX) return;
    const int32_t old = PlayMarkerX;
    PlayMarkerX = x;
    // The marker is drawn by exclusive-or: inverting its old column again and its new
    // column gives the same bitmap as a whole redraw, and the screen needs only those two
    // columns. This keeps playback cheap for the program and the display server.
    if (ViewBitmap.size() == PaintBox1->size()) {
        InvertColumn(ViewBitmap, old);
        InvertColumn(ViewBitmap, x);
    } else {
        DrawViewBitmap();
    }
    const int h = PaintBox1->height();
    PaintBox1->repaint(QRegion(old, 0, 1, h) + QRegion(x, 0, 1, h));
}

void TMainForm::StopBTNClick() {
    if (Job.Running()) {
        CancelJob();  // during an import STOP is its cancel, and nothing else
        return;
    }
    playback_.RequestStop();
    if (OnStopRecording) OnStopRecording();
}

void TMainForm::StopPlayback() { playback_.StopNow(); }

}  // namespace sonvira
