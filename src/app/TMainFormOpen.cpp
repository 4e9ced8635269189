// The Open command: from the button and menu item with the open dialog, and for the
// file named on the command line.
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTimer>

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
    OpenDialog1->setDirectory(DialogStartFolder());
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
    RestoredSelection.reset();
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
        LeaveCurrentFile();
        Doc.InstallBlock(sound.block.release(), sound.size, sound.rate, sound.stereo,
                         sound.is16Bit);
    }

    Doc.SelAnchor = 0;
    Doc.SelEnd = 0;
    ZoomOutEd->setValue(Doc.SampleCount() / std::max(1, PaintBox1->width()));  // kept within 1 … 1000000
    PaintBox1Paint();
    if (outcome.read) EnterFile(fileName);
}

namespace {

// The local file a drag carries (the first one when it carries several), or "".
QString DraggedFile(const QMimeData* data) {
    if (!data || !data->hasUrls()) return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) return url.toLocalFile();
    return {};
}

}  // namespace

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
    if (!DraggedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

// A dropped file opens as if chosen with "Öffnen...". The drop is answered first: opening
// may take a while (an MP3 import), and the program the file came from waits for the answer.
void TMainForm::dropEvent(QDropEvent* event) {
    const QString file = DraggedFile(event->mimeData());
    if (file.isEmpty()) return;
    event->acceptProposedAction();
    QTimer::singleShot(0, this, [this, file] { OpenWhenStopped(file); });
}

}  // namespace sonvira
