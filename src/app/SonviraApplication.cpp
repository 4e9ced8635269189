#include "SonviraApplication.h"

#include <QMessageBox>
#include <exception>

namespace sonvira {

SonviraApplication::SonviraApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName("Sonvira");
    ReportError = [this](const QString& text) {
        QMessageBox::critical(activeWindow(), applicationName(), text);
    };
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

}  // namespace sonvira
