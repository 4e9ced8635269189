// Long work off the window thread, and the one busy state that keeps commands from
// colliding with it: while a job or a recording runs, the commands that would change the
// sound, play, open, save, start other work or change the language are disabled (and
// refused where keys or drops reach them); the job's own cancel stays live.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include "TMainForm.h"
#include "TMusikCDForm.h"

namespace sonvira {

bool TMainForm::Busy() const { return busy_ || (MusikCDForm && MusikCDForm->Ripping()); }

void TMainForm::CancelJob() { Job.Cancel(); }

void TMainForm::RunJob(std::function<void(JobContext&)> work, std::function<void()> finished) {
    EnterBusy();
    StopBtn->setEnabled(true);  // STOP cancels the job
    Job.Start(std::move(work), [this, finished = std::move(finished)] {
        StopBtn->setEnabled(false);
        LeaveBusy();
        finished();
    });
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
        if (auto* item = qobject_cast<QAction*>(control)) {
            busyControls_.emplace_back(item, item->isEnabled());
            item->setEnabled(false);
        } else if (auto* widget = qobject_cast<QWidget*>(control)) {
            busyControls_.emplace_back(widget, widget->isEnabled());
            widget->setEnabled(false);
        }
    }
}

void TMainForm::LeaveBusy() {
    if (!busy_) return;
    busy_ = false;
    for (const auto& [control, enabled] : busyControls_) {
        if (!control) continue;
        if (auto* item = qobject_cast<QAction*>(control.data()))
            item->setEnabled(enabled);
        else if (auto* widget = qobject_cast<QWidget*>(control.data()))
            widget->setEnabled(enabled);
    }
    busyControls_.clear();
}

}  // namespace sonvira
