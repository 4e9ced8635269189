#include "StartupTranslation.h"

#include "MessageCatalogue.h"
#include "TDynaArray.h"
#include "TranslateWindows.h"
#include "TranslationContext.h"

#include <QWidget>

namespace sonvira {

bool OpenTranslationAtCreate(TranslationContext& translation, const std::string& appDir,
                             const ShowErrorText& showError) {
    try {
        translation.OpenTranslationTable(appDir + "translate.dbf");
    } catch (const EDbfError& error) {
        if (showError) showError(QString::fromStdString(error.what()));
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

void InstallAllocFailureBox(ShowErrorText showError) {
    SetAllocFailureHandler([showError = std::move(showError)](const std::string& message) {
        showError(QString::fromStdString(message));
    });
}

}  // namespace sonvira
