#include "StartupTranslation.h"

#include "MessageCatalogue.h"
#include "TDynaArray.h"
#include "TranslateWindows.h"
#include "TranslationContext.h"

#include <QMessageBox>
#include <QWidget>

namespace sonvira {

bool OpenTranslationAtCreate(TranslationContext& translation, const std::string& appDir, QWidget* parent) {
    try {
        translation.OpenTranslationTable(appDir + "translate.dbf");
    } catch (const EDbfError& error) {
        QMessageBox::critical(parent, QString(), QString::fromStdString(error.what()));
        return false;
    }
    translation.BuildTranslationIndex();
    return true;
}

QString TranslateAtFirstShow(TranslationContext& translation, const QList<QWidget*>& windows,
                             QWidget* mainWindow, const QString& germanAppTitle, const QString& germanCaption) {
    RegisterMessages(translation);
    if (translation.LanguageIndex() != 0) TranslateWindows(windows, translation);
    const QString title = QString::fromStdString(translation.Translate(germanAppTitle.toStdString()));
    if (mainWindow) mainWindow->setWindowTitle(QString::fromStdString(translation.Translate(germanCaption.toStdString())));
    return title;
}

void InstallAllocFailureBox() {
    SetAllocFailureHandler([](const std::string& message) {
        QMessageBox::critical(nullptr, QString(), QString::fromStdString(message));
    });
}

}  // namespace sonvira
