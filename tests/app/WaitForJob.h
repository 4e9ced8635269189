#pragma once
// The window reads files as jobs on a worker thread: tests that open a file wait, handling
// the window's events, until the job has ended.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>
#include <QThread>

#include "TMainForm.h"

namespace sonvira::test {

// Handles events until the window is no longer busy; false when `limitMs` passed first.
inline bool WaitUntilIdle(TMainForm& form, int limitMs = 20000) {
    QElapsedTimer clock;
    clock.start();
    while (form.Busy()) {
        if (clock.elapsed() > limitMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    QCoreApplication::processEvents();
    return true;
}

// Opens `name` as OpenFileWithName does and waits for the import to end.
inline void OpenAndWait(TMainForm& form, const QString& name) {
    form.OpenFileWithName(name);
    WaitUntilIdle(form);
}

}  // namespace sonvira::test
