#include "SonviraApplication.h"

#include <exception>

namespace sonvira {

SonviraApplication::SonviraApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName("Sonvira");
    ReportError = [](const QString& text) { qWarning("%s", qPrintable(text)); };
}

bool SonviraApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ReportError(QString::fromUtf8(e.what()));
    } catch (...) {
        ReportError("Unbekannter Fehler");
    }
    return false;
}

void SonviraApplication::RequestEnd() {
    endRequested_ = true;
    if (running_) exit(0);
}

int SonviraApplication::Run() {
    if (endRequested_) {
        endRequested_ = false;
        return 0;
    }
    running_ = true;
    const int code = exec();
    running_ = false;
    endRequested_ = false;
    return code;
}

}  // namespace sonvira
