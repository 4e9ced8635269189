// "Speichern als WAV/MP3...": writes the sound as stored, in the format of the file type
// chosen in the save dialog (not by the name's extension), as a job on the worker.
#include <QFile>
#include <memory>

#include "MessageCatalogue.h"
#include "PostedProgress.h"
#include "SaveAsMP3File.h"
#include "SaveCommand.h"
#include "TMP3ConfigForm.h"
#include "TMainForm.h"
#include "TOpenDialog.h"

namespace sonvira {

void TMainForm::SaveBtnClick() {
    if (Busy() || Doc.DataSize == 0) return;  // Ctrl+S without a sound: nothing to save
    SaveDialog1->setDirectory(DialogStartFolder());
    if (SaveDialog1->exec() != QDialog::Accepted || SaveDialog1->selectedFiles().isEmpty()) return;
    const int fileType =
        static_cast<int>(SaveDialog1->nameFilters().indexOf(SaveDialog1->selectedNameFilter())) + 1;
    const std::string name =
        SaveFileName(QFile::encodeName(SaveDialog1->selectedFiles().first()).toStdString(), fileType);
    std::shared_ptr<Mp3Encoder> encoder = MakeLameEncoder();
    const Mp3Settings settings = MP3ConfigForm->Settings();
    const std::function<void(int)> showProgress = [this](int percent) { SetProStatus(percent); };
    auto outcome = std::make_shared<SaveOutcome>();
    // STOP and Esc cancel an MP3 export between chunks; the file is then not written.
    RunSoundJob(
        [name, fileType, settings, encoder, showProgress, outcome](AudioDocument& doc, JobContext& job) {
            *outcome = SaveDocument(name, fileType, doc, settings, PostedProgress(job, showProgress), *encoder,
                                    &job.CancelFlag());
        },
        [this, name, outcome] { ShowSaveOutcome(*outcome, name); }, fileType == kSaveTypeMp3);
}

void TMainForm::ShowSaveOutcome(const SaveOutcome& outcome, const std::string& name) {
    if (outcome.cancelled) {
        SetProStatus(0);
        ShowMessage(QMessageBox::Information,
                    Tr("Das Speichern wurde abgebrochen. Es wurde nichts geschrieben, eine vorhandene Datei bleibt, wie sie war."));
        return;
    }
    if (outcome.Saved()) {
        SavedOverOpenedFile(QFile::decodeName(QByteArray::fromStdString(name)));
        return;
    }
    const QString text = !outcome.message ? QString::fromUtf8(outcome.text.c_str())
                         : outcome.why.empty()
                             ? Message(*outcome.message)
                             : RefusalText(*outcome.message, QFile::decodeName(QByteArray::fromStdString(name)),
                                           outcome.why.c_str());
    ShowMessage(outcome.errorIcon ? QMessageBox::Critical : QMessageBox::NoIcon, text);
}

}  // namespace sonvira
