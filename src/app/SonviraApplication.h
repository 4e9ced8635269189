#pragma once
// The application object. Exceptions must not cross Qt's event loop, so every event a
// command handles passes through one guard that shows the exception's text in an error
// box; the program then goes on.

#include <QApplication>
#include <functional>

namespace sonvira {

class SonviraApplication : public QApplication {
    Q_OBJECT
public:
    SonviraApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    // Shows the text of an exception that ended a command. The program points it at the
    // main window's message box; until then the text goes to standard error.
    std::function<void(const QString&)> ReportError;

    // Ends the program: at once while Run's main loop runs, otherwise as soon as Run is
    // called. Qt drops a quit asked for before its main loop runs, and one delivered
    // inside a nested loop (a message box, a decoding loop) ends only that loop; a
    // request kept here survives both. User-interface thread.
    void RequestEnd();
    // Runs the main loop until the program ends and returns the exit code; returns 0 at
    // once when the end was requested before.
    int Run();

private:
    bool endRequested_ = false;
    bool running_ = false;
};

}  // namespace sonvira
