#pragma once
// The recorder's home in the program: its state (the window-free Recorder), its 100 ms
// start timer and the recording run. Made once at start-up and never shown; the user
// starts and stops a recording from the main window alone.

#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

#include "Recorder.h"

namespace sonvira {

class TRecordForm : public QWidget {
    Q_OBJECT
public:
    TRecordForm(std::function<std::unique_ptr<CaptureDevice>()> openDevice, QWidget* parent);

    Recorder& State() { return recorder_; }
    // The start timer: the recording run starts 100 ms after the main window enables it.
    QTimer* Timer1 = nullptr;

    // Starts the start timer for a new recording run, forgetting how the last one ended.
    void Arm() {
        inputFailed_ = false;
        recorder_.RecordStopRequested = false;  // from now on a STOP is this recording's
        Timer1->start();
    }
    // The start timer's tick: the timer disables itself, then the recording run.
    void Timer1Timer();
    // One recording run: start capture, wait until a stop is asked for (or the recording
    // cannot grow any longer), stop capture. Runs nested inside the main window's wait.
    void KonvertBtnClick();
    // Start and stop capture.
    void RecordBtnClick();
    void StopBtnClick();
    // Asks a running recording run to end (STOP, the Open command, closing the window).
    void RequestStop() { recorder_.RecordStopRequested = true; }
    // The last run could not open the sound input: it ended at once with nothing recorded.
    bool InputFailed() const { return inputFailed_; }
    // The recording cannot grow any further (size limit or memory): it ends by itself.
    bool RecordingFull() const { return recorder_.LimitReached() || recorder_.MemoryExhausted(); }

private:
    Recorder recorder_;
    bool inputFailed_ = false;
};

}  // namespace sonvira
