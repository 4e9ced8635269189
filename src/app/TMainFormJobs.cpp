// Long work off the window thread, and the one busy state that keeps commands from
// colliding with it: while a job or a recording runs, the commands that would change the
// sound, play, open, save, start other work or change the language are disabled (and
// refused where keys or drops reach them); the job's own cancel stays live. Work on the
// sound itself (effects, the permanent change, saving) borrows it for the job's length.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <exception>
#include <memory>
#include <string>

#include "TMainForm.h"
#include "TMusikCDForm.h"

namespace sonvira {

namespace {

// The busy state's controls are menu items and widgets; both have an enabled state.
bool ControlEnabled(const QObject* control) {
    if (const auto* item = qobject_cast<const QAction*>(control)) return item->isEnabled();
    const auto* widget = qobject_cast<const QWidget*>(control);
    return widget && widget->isEnabled();
}

void EnableControl(QObject* control, bool enabled) {
    if (auto* item = qobject_cast<QAction*>(control))
        item->setEnabled(enabled);
    else if (auto* widget = qobject_cast<QWidget*>(control))
        widget->setEnabled(enabled);
}

}  // namespace

bool TMainForm::Busy() const { return busy_ || (MusikCDForm && MusikCDForm->Ripping()); }

void TMainForm::CancelJob() { Job.Cancel(); }

void TMainForm::RunJob(std::function<void(JobContext&)> work, std::function<void()> finished, bool cancellable) {
    EnterBusy();
    jobCancellable_ = cancellable;
    StopBtn->setEnabled(cancellable);  // STOP cancels the job
    Job.Start(std::move(work), [this, finished = std::move(finished)] {
        jobCancellable_ = false;
        StopBtn->setEnabled(false);
        LeaveBusy();
        finished();
    });
}

void TMainForm::RunSoundJob(std::function<void(AudioDocument&, JobContext&)> work, std::function<void()> finished,
                            bool cancellable) {
    StopPlayback();  // nothing may render from the sound while it is away
    // The work owns the lent sound: closing the window may give the job up like any other.
    auto lent = std::make_shared<AudioDocument>();
    auto failure = std::make_shared<std::string>();
    Doc.MoveSoundTo(*lent);
    soundLent_ = true;
    RunJob(
        [lent, failure, work = std::move(work)](JobContext& job) {
            try {
                work(*lent, job);
            } catch (const std::exception& e) {
                *failure = e.what();  // e.g. no memory for a new block; the sound is as it was
            }
        },
        [this, lent, failure, finished = std::move(finished)] {
            lent->MoveSoundTo(Doc);
            soundLent_ = false;
            if (failure->empty()) {
                finished();
                return;
            }
            PaintBox1Paint();
            ShowMessage(QMessageBox::Critical, QString::fromUtf8(failure->c_str()));
        },
        cancellable);
}

std::vector<QObject*> TMainForm::IdleOnlyControls() const {
    // Menu items that neither change the sound nor start work stay usable.
    static const QStringList kAlwaysUsable = {"Beenden1", "MP3Ausgabekonfigurieren1", "Nichtsauswhlen1"};
    std::vector<QObject*> controls{OpenBtn, PlayBtn, PauseBtn, RecordBtn, DoEffektBtn};
    for (const char* menuName : {"Datei", "Bearbeiten", "Effekte", "Sprache"}) {
        const auto* menu = menuBar()->findChild<QMenu*>(menuName);
        if (!menu) continue;
        for (QAction* item : menu->actions())
            if (!item->isSeparator() && !kAlwaysUsable.contains(item->objectName())) controls.push_back(item);
    }
    return controls;
}

void TMainForm::EnterBusy() {
    if (busy_) return;
    busy_ = true;
    busyControls_.clear();
    for (QObject* control : IdleOnlyControls()) {
        busyControls_.emplace_back(control, ControlEnabled(control));
        EnableControl(control, false);
    }
}

void TMainForm::SetEnabledWhenIdle(QObject* control, bool enabled) {
    if (busy_) {
        for (auto& [saved, savedEnabled] : busyControls_)
            if (saved == control) {
                savedEnabled = enabled;
                return;
            }
    }
    EnableControl(control, enabled);
}

void TMainForm::LeaveBusy() {
    if (!busy_) return;
    busy_ = false;
    for (const auto& [control, enabled] : busyControls_)
        if (control) EnableControl(control.data(), enabled);
    busyControls_.clear();
}

}  // namespace sonvira
