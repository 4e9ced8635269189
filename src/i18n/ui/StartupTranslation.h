#pragma once
// The main window's start-up steps that concern translation, so that the window calls one
// function per step. User-interface thread only.

#include <QList>
#include <QString>

#include <functional>
#include <string>

class QWidget;

namespace sonvira {

class TranslationContext;

// Shows an error text in the program's message box (the main window's one seam for boxes).
using ShowErrorText = std::function<void(const QString& text)>;

// FormCreate: opens `appDir` + "translate.dbf" (created when missing, read-only when
// writing is refused) and builds the index. When even the read-only opening fails the
// error is shown through `showError` (when given) and false is returned: the caller skips
// its remaining creation steps, and every text then stays German.
bool OpenTranslationAtCreate(TranslationContext& translation, const std::string& appDir,
                             const ShowErrorText& showError);

// FormShow, first showing, after LanguageIndex was set from options.dat: passes the
// message catalogue through the table, translates every window when the language is not
// German, then sets the main window's caption to the translation of `germanCaption`.
// Returns the translation of `germanAppTitle` for the caller to set as application
// title. Both are translated from their German source, never from a text the walk has
// already translated.
QString TranslateAtFirstShow(TranslationContext& translation, const QList<QWidget*>& windows,
                             QWidget* mainWindow, const QString& germanAppTitle, const QString& germanCaption);

// Routes the record array's out-of-memory message to `showError`.
void InstallAllocFailureBox(ShowErrorText showError);

}  // namespace sonvira
