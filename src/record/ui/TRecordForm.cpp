#include "TRecordForm.h"

#include <QEventLoop>

namespace sonvira {

namespace {
// How often the recording run looks at its stop request while it waits.
constexpr int kWaitStepMs = 50;
}  // namespace

TRecordForm::TRecordForm(std::function<std::unique_ptr<CaptureDevice>()> openDevice,
                         QWidget* parent)
    : QWidget(parent, Qt::Window), recorder_(std::move(openDevice)) {
    setObjectName("RecordForm");
    // Never shown: a window of its own only so that its caption is learnt and translated
    // with the other windows' texts.
    setWindowTitle(QStringLiteral("MP3 aufnehmen"));
    hide();
    Timer1 = new QTimer(this);
    Timer1->setInterval(100);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &TRecordForm::Timer1Timer);
}

void TRecordForm::Timer1Timer() {
    Timer1->stop();
    KonvertBtnClick();
}

void TRecordForm::KonvertBtnClick() {
    // A STOP that came before the run (its timer firing in the same pass of events) ends
    // the recording before anything starts; overwriting it would leave a run nothing stops.
    if (recorder_.RecordStopRequested) return;
    RecordBtnClick();
    inputFailed_ = !recorder_.DeviceOpen();
    if (inputFailed_) recorder_.RecordStopRequested = true;  // no clock running over nothing
    // A recording that reached the largest document, or that memory cannot hold any
    // longer, ends by itself; the main window tells the user.
    while (!recorder_.RecordStopRequested && !RecordingFull()) {
        QEventLoop step;
        QTimer::singleShot(kWaitStepMs, &step, &QEventLoop::quit);
        step.exec();
    }
    StopBtnClick();
}

void TRecordForm::RecordBtnClick() { recorder_.StartCapture(); }

void TRecordForm::StopBtnClick() { recorder_.StopCapture(); }

}  // namespace sonvira
