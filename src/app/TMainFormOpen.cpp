// The Open command: from the button and menu item with the open dialog, and for the
// file named on the command line.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "TMainForm.h"
#include "TOpenDialog.h"
#include "TPaintBox.h"
#include "WavFile.h"

namespace sonvira {

void TMainForm::OpenBtnClick() {
    if (StopBtn->isEnabled()) {
        // Something plays: ask it to end and come back once it has.
        StopRequested = true;
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
    QString readName = fileName;
    QString tempName;
    if (QFileInfo(fileName).suffix().toUpper() == "MP3") {
        // MP3 files are decoded into a temporary WAV file first; until the decoder is
        // built, the temporary file never comes into being and the read below fails.
        tempName = QString::fromStdString(
            TempWavName(QDir::tempPath().toStdString(), "tempwav", ".wav"));
        readName = tempName;
    }

    WavSound sound;
    if (ReadWav(QFile::encodeName(readName).toStdString(), sound)) {
        Doc.InstallBlock(sound.block.release(), sound.size, sound.rate, sound.stereo,
                         sound.is16Bit);
    } else {
        ShowMessage(QMessageBox::Critical, "Konnte Datei nicht öffnen!");
    }
    if (!tempName.isEmpty()) QFile::remove(tempName);

    Doc.SelAnchor = 0;
    Doc.SelEnd = 0;
    ZoomOutEd->setValue(ViewSampleCount() / std::max(1, PaintBox1->width()));  // kept within 1 … 1000000
    PaintBox1Paint();
}

}  // namespace sonvira
