// The language commands of the "Sprache" menu. The windows are translated once at
// start-up, so a new language takes effect at the next start; the restart message is
// already shown in it.
#include <QAction>

#include "MessageCatalogue.h"
#include "TMainForm.h"
#include "TTranslateForm.h"

namespace sonvira {

void TMainForm::ConnectLanguageCommands() {
    connect(MenuItem("Deutsch1"), &QAction::triggered, this, &TMainForm::Deutsch1Click);
    connect(MenuItem("English1"), &QAction::triggered, this, &TMainForm::English1Click);
    connect(MenuItem("Franais1"), &QAction::triggered, this, &TMainForm::Franais1Click);
    connect(MenuItem("bersetzen1"), &QAction::triggered, this, &TMainForm::bersetzen1Click);
}

void TMainForm::Deutsch1Click() { ChooseLanguage(0, "Deutsch1"); }

void TMainForm::English1Click() { ChooseLanguage(1, "English1"); }

void TMainForm::Franais1Click() { ChooseLanguage(2, "Franais1"); }

// Choosing the language already in effect does the same.
void TMainForm::ChooseLanguage(int32_t index, const char* item) {
    if (loadingOptions_ || Busy()) return;
    MenuItem(item)->setChecked(true);
    LanguageIndex = index;
    Translation.SetLanguageIndex(index);
    ShowMessage(QMessageBox::Information, Message(Msg::RestartProgram));
    SaveOptions();
}

void TMainForm::bersetzen1Click() {
    if (Busy()) return;
    TranslateForm->SetColumnWidths(300);
    TranslateForm->Prepare();
    TranslateForm->exec();
    ShowMessage(QMessageBox::Information, Message(Msg::RestartProgram));
}

}  // namespace sonvira
