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

    // Shows the text of an exception that ended a command (an error box by default).
    std::function<void(const QString&)> ReportError;
};

}  // namespace sonvira
