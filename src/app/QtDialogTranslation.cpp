#include "QtDialogTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace sonvira {

const char* QtLanguageCode(int32_t languageIndex) {
    switch (languageIndex) {
        case 0: return "de";
        case 1: return "en";
        case 2: return "fr";
        default: return "";
    }
}

QTranslator* InstallQtDialogTranslation(int32_t languageIndex, QObject* owner) {
    const QString code = QString::fromLatin1(QtLanguageCode(languageIndex));
    if (code.isEmpty()) return nullptr;
    auto* translator = new QTranslator(owner);
    if (!translator->load("qtbase_" + code, QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    return translator;
}

}  // namespace sonvira
