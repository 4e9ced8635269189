// The Open command: from the button and menu item with the open dialog, and for the
// file named on the command line.
#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include "MessageCatalogue.h"
#include "TMainForm.h"
#include "TOpenDialog.h"
#include "TPaintBox.h"
#include "OpenSoundFile.h"

namespace sonvira {

void TMainForm::OpenBtnClick() {
    if (StopBtn->isEnabled()) {
        // Something plays: ask it to end and come back once it has.
        StopRequested = true;
        if (OnStopRecording) OnStopRecording();
        Timer2->start();
        return;
    }
    OpenDialog1->setDirectory(AppDir);
    if (OpenDialog1->exec() != QDialog::Accepted) return;
    const QStringList chosen = OpenDialog1->selectedFiles();
    if (chosen.isEmpty()) return;
    OpenCommonSteps(chosen.first());
    Timer1->start();
}

void TMainForm::OpenFileWithName(const QString& fileName) { OpenCommonSteps(fileName); }

void TMainForm::OpenCommonSteps(const QString& fileName) {
    // MP3 files and the formats FFmpeg decodes become a temporary WAV file that is read and
    // deleted again. An MP3 codec that cannot be opened throws past the rest of these steps
    // to the error box.
    WavSound sound;
    const OpenOutcome outcome = OpenSoundFile(
        QFile::encodeName(fileName).toStdString(), QFile::encodeName(QDir::tempPath()).toStdString(),
        mp3wav, Mp3CodecFormats, StopRequested,
        {[this](int percent) { SetProStatus(percent); }, [] { QCoreApplication::processEvents(); }},
        sound);
    for (const Msg message : outcome.messages) ShowMessage(QMessageBox::Critical, Message(message));
    if (outcome.tooLarge)
        ShowMessage(QMessageBox::Critical,
                    Tr("Die Datei ergäbe entpackt mehr als 2 GByte Daten. Sie wurde nicht geöffnet!"));
    if (outcome.read) {
        StopPlayback();
        Doc.InstallBlock(sound.block.release(), sound.size, sound.rate, sound.stereo,
                         sound.is16Bit);
    }

    Doc.SelAnchor = 0;
    Doc.SelEnd = 0;
    ZoomOutEd->setValue(Doc.SampleCount() / std::max(1, PaintBox1->width()));  // kept within 1 … 1000000
    PaintBox1Paint();
}

}  // namespace sonvira
