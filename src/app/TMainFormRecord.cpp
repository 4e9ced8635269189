// "Aufnehmen": records from the sound input into a new sound. The recorder's state and
// its recording run live in TRecordForm; here the question, the empty document, the
// buttons, the wait with the elapsed time in the status bar, and the take-over.
#include <QEventLoop>
#include <QTimer>

#include "MessageCatalogue.h"
#include "TMainForm.h"
#include "TRecordForm.h"

namespace sonvira {
namespace {

constexpr int kRecordRate = 44100;
constexpr int kRecordBytesPerSecond = kRecordRate * 4;  // 16-bit stereo
constexpr int kWaitStepMs = 50;
constexpr int kClockMs = 250;

QString ElapsedText(int64_t bytes) {
    const int64_t seconds = bytes / kRecordBytesPerSecond;
    return QString("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QChar('0'))
        .arg(seconds / 60 % 60, 2, 10, QChar('0'))
        .arg(seconds % 60, 2, 10, QChar('0'));
}

}  // namespace

void TMainForm::CreateRecorder(std::function<std::unique_ptr<CaptureDevice>()> openCapture) {
    RecordForm = new TRecordForm(std::move(openCapture), this);
    RecordBtnAvailable = true;
    OnStopRecording = [this] { RecordForm->RequestStop(); };
    RecordBtn->setEnabled(!StopBtn->isEnabled());
    connect(RecordBtn, &QPushButton::clicked, this, &TMainForm::RecordBtnClick);
}

void TMainForm::RecordBtnClick() {
    if (!RecordForm || !RecordBtn->isEnabled() || Busy()) return;
    if (Doc.DataSize != 0 && !AskOkCancel(Message(Msg::NewRecording), Message(Msg::NewRecordingLosesTheLast)))
        return;
    EnterBusy();  // nothing else may start, open or change the sound while recording
    Doc.ReleaseBlock();
    Doc.SampleRate = kRecordRate;
    Doc.IsStereo = true;
    Doc.Is16Bit = true;
    PaintBox1Paint();
    PlayBtn->setEnabled(false);
    RecordBtn->setEnabled(false);
    StopBtn->setEnabled(true);

    StopRequested = false;
    RecordForm->Arm();
    // The elapsed time runs in the status bar a few times a second, also while the
    // recording run waits inside this wait.
    QTimer clock;
    connect(&clock, &QTimer::timeout, this, [this] { ShowRecordingTime(); });
    clock.start(kClockMs);
    ShowRecordingTime();
    while (!StopRequested && !RecordForm->RecordingFull() && !RecordForm->InputFailed()) {
        QEventLoop step;
        QTimer::singleShot(kWaitStepMs, &step, &QEventLoop::quit);
        step.exec();
    }
    clock.stop();
    // A stop that came before the recording run started: it must not start afterwards.
    RecordForm->Timer1->stop();
    RecordForm->RequestStop();
    StatusText->clear();
    LeaveBusy();
    TakeOverRecording();
}

void TMainForm::ShowRecordingTime() {
    StatusText->setText(Tr("Aufnahme läuft: %1").arg(ElapsedText(RecordForm->State().RecordedSize())));
}

void TMainForm::TakeOverRecording() {
    const bool limitReached = RecordForm->State().LimitReached();
    const bool memoryExhausted = RecordForm->State().MemoryExhausted();
    const bool partsLost = RecordForm->State().PartsLost();
    const bool inputFailed = RecordForm->InputFailed();
    const Recorder::Recording recording = RecordForm->State().TakeRecording();
    if (recording.size != 0) {
        // The selection starts afresh, as for an opened file: an old selection would name
        // a stretch of a sound that is gone.
        LeaveCurrentFile();  // the new sound comes from no file
        Doc.InstallBlock(recording.block, recording.size, kRecordRate, true, true);
        ZoomOutFullClick();
    }
    PlayBtn->setEnabled(true);
    RecordBtn->setEnabled(true);
    StopBtn->setEnabled(false);
    PaintBox1Paint();
    if (limitReached)
        ShowMessage(QMessageBox::Information, LargestSoundMessage());
    else if (memoryExhausted)
        ShowMessage(QMessageBox::Critical,
                    Tr("Der Arbeitsspeicher reicht für eine längere Aufnahme nicht aus. "
                       "Aufgenommen ist alles bis dahin."));
    if (inputFailed)
        ShowMessage(QMessageBox::Critical,
                    Tr("Der Toneingang konnte nicht geöffnet werden. Es wurde nichts aufgenommen."));
    else if (partsLost)
        ShowMessage(QMessageBox::Warning,
                    Tr("Teile der Aufnahme gingen verloren, weil das Programm den Toneingang nicht "
                       "schnell genug abholen konnte. Der Rest der Aufnahme ist erhalten."));
}

// Told when a recording or a CD track stopped at the largest sound the program holds.
QString TMainForm::LargestSoundMessage() {
    return Tr("Die Aufnahme hat die größte Länge erreicht, die das Programm halten kann, "
              "und wurde dort beendet. Alles bis dahin Aufgenommene ist erhalten.");
}

}  // namespace sonvira
