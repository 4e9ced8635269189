#pragma once
// Qt's own texts (file dialogs, standard buttons such as Yes and No) in the program's
// language, from the translations Qt ships. User-interface thread.

#include <cstdint>

class QObject;
class QTranslator;

namespace sonvira {

// The Qt language code of a LanguageIndex: "de", "en" or "fr" for 0, 1 and 2; empty for
// the table's further language columns, which Qt knows nothing of.
const char* QtLanguageCode(int32_t languageIndex);

// Loads qtbase_<code>.qm from Qt's translations folder and installs it, owned by `owner`
// (it leaves the application with it). Returns null when the language has no code or
// the file is missing: Qt's texts then stay English.
QTranslator* InstallQtDialogTranslation(int32_t languageIndex, QObject* owner);

}  // namespace sonvira
