// Playback controls of the main window: the two coupled factor fields, pause with
// rewind, the hot keys, and making speed and pitch permanent.
#include <QCoreApplication>
#include <QEventLoop>
#include <QSignalBlocker>
#include <QTimer>

#include "HighQualityPermanentChange.h"
#include "PermanentChange.h"
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
    StopPlayback();  // the samples are rewritten: nothing may render from them meanwhile
    SetProStatus(0);
    const auto progress = [this](int percent) {
        SetProStatus(percent);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    // The engine the user listens with moves the pitch.
    if (HighQualityCheck->isChecked())
        ApplyHighQualityPermanentChange(Doc, State.SpeedFactor, State.PitchFactor, progress);
    else
        ApplyPermanentChange(Doc, State.SpeedFactor, State.PitchFactor, progress);
    SpeedEd->SetValue(1);
    PitchEd->SetValue(1);
    StatusText->clear();
    PaintBox1Paint();
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
    PlayBtn->setEnabled(!playing);
    RecordBtn->setEnabled(!playing && RecordBtnAvailable);
    StopBtn->setEnabled(playing);
    PauseBtn->setEnabled(playing);
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
