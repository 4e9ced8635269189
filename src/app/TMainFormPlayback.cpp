// Playback controls of the main window: the two coupled factor fields, pause with
// rewind, the hot keys, and making speed and pitch permanent.
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include "PermanentChange.h"
#include "TMainForm.h"
#include "TPaintBox.h"
#include "TProgressPanel.h"
#include "WaveformDrawing.h"

namespace sonvira {

void TMainForm::SpeedEdChange() {
    State.SpeedFactor = SpeedEd->Value();
    if (couplingGuard_ || !PitchSpeedCombineCheck->isChecked()) return;
    couplingGuard_ = true;
    PitchEd->SetValue(SpeedEd->Value());
    couplingGuard_ = false;
}

void TMainForm::PitchEdChange() {
    State.PitchFactor = PitchEd->Value();
    if (couplingGuard_ || !PitchSpeedCombineCheck->isChecked()) return;
    couplingGuard_ = true;
    SpeedEd->SetValue(PitchEd->Value());  // the field keeps 0.1 … 10; the pitch stays
    couplingGuard_ = false;
}

void TMainForm::PauseBtnClick() {
    if (State.Paused) {
        // Resuming: go back by the rewind field's seconds of the sound's own time. The
        // stream thread may publish a block's advance meanwhile; the rewind wins.
        double position = State.PlayPosition.load();
        double rewound;
        do {
            rewound = position - SpulEd->Value() * Doc.SampleRate.load();
            if (!(rewound >= 0)) rewound = 0;
        } while (!State.PlayPosition.compare_exchange_weak(position, rewound));
    }
    State.Paused = !State.Paused;
}

void TMainForm::HotKeyPressed(int id) {
    switch (id) {
        case 0:
            if (PauseBtn->isEnabled())
                PauseBtnClick();
            else
                PlayBtnClick();
            break;
        case 1:
            SpeedEd->SetValue(SpeedEd->Value() - 0.1);
            break;
        case 2:
            SpeedEd->SetValue(SpeedEd->Value() + 0.1);
            break;
        default:
            break;
    }
}

void TMainForm::SetPlayPosition(double frame) { State.PlayPosition = frame; }

void TMainForm::DoEffektClick() {
    if (Doc.DataSize == 0) return;  // no sound: nothing changes, the fields keep their values
    StopPlayback();  // the samples are rewritten: nothing may render from them meanwhile
    SetProStatus(0);
    ApplyPermanentChange(Doc, State.SpeedFactor, State.PitchFactor, [this](int percent) {
        SetProStatus(percent);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    SpeedEd->SetValue(1);
    PitchEd->SetValue(1);
    StatusText->clear();
    PaintBox1Paint();
}

void TMainForm::ConnectPlaybackControls() {
    connect(SpeedEd, &TFloatSpinEdit::Changed, this, &TMainForm::SpeedEdChange);
    connect(PitchEd, &TFloatSpinEdit::Changed, this, &TMainForm::PitchEdChange);
    connect(SpulEd, &TFloatSpinEdit::Changed, this, &TMainForm::PitchEdChange);
    connect(SchleifeCheck, &QCheckBox::toggled, this, [this](bool on) { State.Loop = on; });
    connect(PauseBtn, &QPushButton::clicked, this, &TMainForm::PauseBtnClick);
    connect(PlayBtn, &QPushButton::clicked, this, &TMainForm::PlayBtnClick);
    connect(StopBtn, &QPushButton::clicked, this, &TMainForm::StopBTNClick);
    connect(DoEffektBtn, &QPushButton::clicked, this, &TMainForm::DoEffektClick);
}

}  // namespace sonvira

namespace sonvira {

// The play range from the selection (sample positions, smaller first, frames for stereo),
// or the whole sound. Not limited to the frame count here: the renderer's test does that.
void TMainForm::SetUpPlayRange() {
    State.Paused = false;
    State.RangeStart = 0;
    int32_t frames = Doc.DataSize;
    if (Doc.IsStereo) frames /= 2;
    if (Doc.Is16Bit) frames /= 2;
    State.FrameCount = frames;
    if (Doc.SelAnchor == Doc.SelEnd) {
        State.RangeEnd = frames;
    } else {
        int32_t start = std::min(Doc.SelAnchor, Doc.SelEnd), end = std::max(Doc.SelAnchor, Doc.SelEnd);
        if (Doc.IsStereo) {
            start /= 2;
            end /= 2;
        }
        State.RangeStart = start;
        State.RangeEnd = end;
    }
    State.PlayPosition = State.RangeStart.load();
}

void TMainForm::SetTransportPlaying(bool playing) {
    PlayBtn->setEnabled(!playing);
    RecordBtn->setEnabled(!playing && RecordBtnAvailable);
    StopBtn->setEnabled(playing);
    PauseBtn->setEnabled(playing);
}

bool TMainForm::PlayLoopGoesOn() const {
    const double position = State.PlayPosition;
    return !StopRequested && position < State.RangeEnd && position < State.FrameCount;
}

void TMainForm::PlayBtnClick() {
    if (!Output || playing_) return;
    SetUpPlayRange();
    SetTransportPlaying(true);
    StopRequested = false;
    playing_ = true;
    Output->Start(State, Doc);
    do {
        // Let the window handle its events for one marker step (about 60 per second),
        // sleeping while nothing happens.
        QEventLoop step;
        QTimer::singleShot(kMarkerStepMs, &step, &QEventLoop::quit);
        step.exec();
        const int64_t zoom = ZoomOutEd->value();
        MovePlayMarker(static_cast<int32_t>((State.ReadIndex - int64_t(ScrollBar1->value()) * zoom) / zoom));
    } while (PlayLoopGoesOn());
    Output->Stop();
    playing_ = false;
    SetTransportPlaying(false);
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
    StopRequested = true;
    if (OnStopRecording) OnStopRecording();
}

void TMainForm::StopPlayback() {
    if (!playing_) return;
    // Commands reach here from inside the play loop's event handling, so the loop cannot
    // end before they return: stop the sound and join the stream thread now (nothing
    // reads the block after this), and let the loop end when control gets back to it.
    StopRequested = true;
    Output->Stop();
}

}  // namespace sonvira
