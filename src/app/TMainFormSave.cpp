// "Speichern als WAV/MP3...": writes the sound as stored, in the format of the file type
// chosen in the save dialog (not by the name's extension).
#include <QFile>

#include "MessageCatalogue.h"
#include "SaveAsMP3File.h"
#include "SaveCommand.h"
#include "TMP3ConfigForm.h"
#include "TMainForm.h"
#include "TOpenDialog.h"

namespace sonvira {

void TMainForm::SaveBtnClick() {
    if (Busy()) return;
    SaveDialog1->setDirectory(DialogStartFolder());
    if (SaveDialog1->exec() != QDialog::Accepted || SaveDialog1->selectedFiles().isEmpty()) return;
    const int fileType =
        static_cast<int>(SaveDialog1->nameFilters().indexOf(SaveDialog1->selectedNameFilter())) + 1;
    const std::string name =
        SaveFileName(QFile::encodeName(SaveDialog1->selectedFiles().first()).toStdString(), fileType);
    const auto encoder = MakeLameEncoder();
    const SaveOutcome outcome = SaveDocument(name, fileType, Doc, MP3ConfigForm->Settings(),
                                             [this](int percent) { SetProStatus(percent); }, *encoder);
    if (outcome.Saved()) {
        SavedOverOpenedFile(QFile::decodeName(QByteArray::fromStdString(name)));
        return;
    }
    ShowMessage(outcome.errorIcon ? QMessageBox::Critical : QMessageBox::NoIcon,
                outcome.message ? Message(*outcome.message) : QString::fromUtf8(outcome.text.c_str()));
}

}  // namespace sonvira
