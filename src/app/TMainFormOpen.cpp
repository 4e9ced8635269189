// The Open command: from the button and menu item with the open dialog, and for the
// file named on the command line.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "MessageCatalogue.h"
#include "TMainForm.h"
#include "TOpenDialog.h"
#include "TPaintBox.h"
#include "OpenMp3File.h"
#include "WavFile.h"

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
    const std::string name = QFile::encodeName(fileName).toStdString();
    WavSound sound;
    bool read = false;
    if (QFileInfo(fileName).suffix().toUpper() == "MP3") {
        // Decoded into a temporary WAV file that is read and deleted again. A codec that
        // cannot be opened throws past the rest of these steps to the error box.
        const Mp3OpenResult result = OpenMp3File(
            name, QFile::encodeName(QDir::tempPath()).toStdString(), mp3wav, Mp3CodecFormats,
            StopRequested,
            {[this](int percent) { SetProStatus(percent); },
             [] { QCoreApplication::processEvents(); }},
            sound);
        if (result.importMessage)
            ShowMessage(QMessageBox::Critical, Message(static_cast<Msg>(result.importMessage)));
        read = result.read;
    } else {
        read = ReadWav(name, sound);
    }
    if (read) {
        StopPlayback();
        Doc.InstallBlock(sound.block.release(), sound.size, sound.rate, sound.stereo,
                         sound.is16Bit);
    } else {
        ShowMessage(QMessageBox::Critical, Message(Msg::CannotOpenFile));
    }

    Doc.SelAnchor = 0;
    Doc.SelEnd = 0;
    ZoomOutEd->setValue(ViewSampleCount() / std::max(1, PaintBox1->width()));  // kept within 1 … 1000000
    PaintBox1Paint();
}

}  // namespace sonvira
