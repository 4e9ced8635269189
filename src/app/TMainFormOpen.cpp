// The Open command: from the button and menu item with the open dialog, and for the
// file named on the command line. The file is read by a job on a worker thread.
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTimer>

#include "MessageCatalogue.h"
#include "PostedProgress.h"
#include "TMainForm.h"
#include "TOpenDialog.h"
#include "TPaintBox.h"
#include "OpenSoundFile.h"
#include "WhyNotOpened.h"

namespace sonvira {

void TMainForm::OpenBtnClick() {
    if (Busy()) return;
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
    OpenCommonSteps(chosen.first(), true);
}

void TMainForm::OpenFileWithName(const QString& fileName) { OpenCommonSteps(fileName); }

// What an import job hands the window: filled on the worker, read on the window thread
// once the job has ended.
struct OpenImport {
    WavSound sound;
    OpenOutcome outcome;
    bool cancelled = false;
    std::string failure;  // the text of an exception the decoder threw (EACMConvertor)
    const char* why = "";  // German: why the file was not opened
};

namespace {

// Reads the file on the worker. Owns everything it uses: a decoder stream of its own, a
// copy of the codec's format list, and the import it fills.
void ImportOnWorker(JobContext& job, const std::shared_ptr<OpenImport>& import,
                    const std::string& path, const std::string& tempDir,
                    const decltype(TMainForm::ImportSound)& importSound,
                    const std::function<void(int)>& showProgress) {
    std::atomic<bool> stop{false};
    const Mp3ImportHooks hooks{
        PostedProgress(job, showProgress),
        // The decoders look at their stop flag after every pass; the job's cancel sets it.
        [&] {
            if (job.Cancelled()) stop = true;
        }};
    try {
        import->outcome = importSound(path, tempDir, stop, hooks, import->sound);
    } catch (const std::exception& e) {
        import->failure = e.what();
    }
    // A stop cuts the decoding short; what was decoded until then is not the file.
    import->cancelled = job.Cancelled();
    if (!import->cancelled && !import->outcome.read) import->why = WhyNotOpened(path);
}

}  // namespace

void TMainForm::OpenCommonSteps(const QString& fileName, bool thenClearSelection) {
    // MP3 files and the formats FFmpeg decodes become a temporary WAV file that is read and
    // deleted again; all of it on the job's worker, the window stays responsive.
    if (Busy()) return;
    StopPlayback();  // nothing plays from the old sound while a new one may replace it
    RestoredSelection.reset();
    auto import = std::make_shared<OpenImport>();
    const std::string path = QFile::encodeName(fileName).toStdString();
    const std::string tempDir = TempFolder.empty() ? QFile::encodeName(QDir::tempPath()).toStdString() : TempFolder;
    const std::function<void(int)> showProgress = [this](int percent) { SetProStatus(percent); };
    RunJob(
        [import, path, tempDir, importSound = ImportSound, showProgress](JobContext& job) {
            ImportOnWorker(job, import, path, tempDir, importSound, showProgress);
        },
        [this, import, fileName, thenClearSelection] { TakeOverImport(*import, fileName, thenClearSelection); });
}

void TMainForm::TakeOverImport(OpenImport& import, const QString& fileName, bool thenClearSelection) {
    SetProStatus(0);  // every import ends with an empty bar, whatever its decoder reported last
    if (import.cancelled) {
        // The old sound stays, and nothing is remembered for a file that was not read.
        ShowMessage(QMessageBox::Information,
                    Tr("Das Öffnen wurde abgebrochen. Der bisherige Klang bleibt erhalten."));
        return;
    }
    if (!import.failure.empty()) {
        // What the top-level error box shows for an exception, as when the codec failed on
        // the window thread.
        ShowMessage(QMessageBox::Critical, QString::fromUtf8(import.failure.c_str()));
        return;
    }
    const OpenOutcome& outcome = import.outcome;
    for (const Msg message : outcome.messages)
        ShowMessage(QMessageBox::Critical, message == Msg::CannotOpenFile ? RefusalText(message, fileName, import.why)
                                                                          : Message(message));
    if (outcome.tooLarge)
        ShowMessage(QMessageBox::Critical,
                    Tr("Die Datei ergäbe entpackt mehr als 2 GByte Daten. Sie wurde nicht geöffnet!"));
    WavSound& sound = import.sound;
    if (outcome.read) {
        LeaveCurrentFile();
        Doc.InstallBlock(sound.block.release(), sound.size, sound.rate, sound.stereo,
                         sound.is16Bit);
    }

    Doc.SelAnchor = 0;
    Doc.SelEnd = 0;
    ZoomOutEd->setValue(Doc.SampleCount() / std::max(1, PaintBox1->width()));  // kept within 1 … 1000000
    PaintBox1Paint();
    if (outcome.read) EnterFile(fileName);
    if (thenClearSelection) Timer1->start();
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
    // While busy the drop is refused, and the cursor says so.
    if (!Busy() && !DraggedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

// A dropped file opens as if chosen with "Öffnen...". The drop is answered first: opening
// may take a while (an MP3 import), and the program the file came from waits for the answer.
void TMainForm::dropEvent(QDropEvent* event) {
    const QString file = DraggedFile(event->mimeData());
    if (file.isEmpty() || Busy()) return;
    event->acceptProposedAction();
    QTimer::singleShot(0, this, [this, file] { OpenWhenStopped(file); });
}

}  // namespace sonvira
