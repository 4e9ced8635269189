// How long the window thread is kept from its events while long work runs. A 10 ms timer
// on the window thread notes the largest gap between its ticks while the real main window
// imports a sound file (e.g. a 10-minute FLAC, made by window_responsiveness.sh), runs
// "Maximale Lautstärke", the permanent change and an MP3 save over it, and rips a track
// from a simulated drive that takes 1 s for every read; then the time from Abbrechen to
// the CD dialog closing while a read hangs. Targets: a gap of at most 50 ms, at most
// 200 ms to close.
//
//   app_responsiveness <sound file>
#include <QApplication>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <functional>
#include <cstdio>
#include <thread>

#include "CdAccess.h"
#include "HeldCdReads.h"
#include "ListedBlockDevices.h"
#include "SimulatedCdDrive.h"
#include "TFloatSpinEdit.h"
#include "TMainForm.h"
#include "TOpenDialog.h"
#include "TMusikCDForm.h"

namespace {

// The largest gap between ticks of a 10 ms timer while `running()` holds.
template <class Start, class Running>
qint64 LargestGap(Start start, Running running) {
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 largest = 0;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        largest = std::max(largest, now - last);
        last = now;
    });
    timer.start(10);
    clock.start();
    start();
    while (running()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return largest;
}

void WaitWhileHandlingEvents(const std::function<bool()>& done) {
    while (!done()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

struct SlowDrive {
    std::shared_ptr<sonvira::test::HeldCdReads> reads = std::make_shared<sonvira::test::HeldCdReads>();
    sonvira::SimulatedCdTransport* transport = nullptr;

    // One drive, track 1 of 50 sectors: five reads of ten sectors, each taking a second.
    sonvira::PlatformParts Parts() {
        sonvira::PlatformParts parts;
        parts.openCd = [this] {
            sonvira::CdAccess access;
            access.Calls = std::make_unique<sonvira::test::ListedBlockDevices>(std::vector<std::string>{"sr0"});
            auto drive = std::make_unique<sonvira::SimulatedCdTransport>();
            sonvira::SimulatedDisc disc;
            disc.TrackStarts = {0, 50};
            disc.LeadOut = 100;
            disc.BeforeRead = [held = reads](uint32_t lba) {
                std::this_thread::sleep_for(std::chrono::seconds(1));
                sonvira::test::HeldCdReads::Hook(held)(lba);
            };
            drive->AddDrive("/dev/sr0", disc);
            transport = drive.get();
            access.Transport = std::move(drive);
            return access;
        };
        return parts;
    }
};

// One command on the sound as a job, timed, with the window thread's largest gap.
void MeasureSoundJob(sonvira::TMainForm& form, const char* name, const std::function<void()>& command) {
    QElapsedTimer took;
    took.start();
    const qint64 gap = LargestGap(command, [&] { return form.Busy(); });
    std::printf("%s: %.2f s, largest gap of the window thread: %lld ms (target <= 50)\n", name,
                took.elapsed() / 1000.0, static_cast<long long>(gap));
}

// Answers the next save dialog with `name` as an MP3 file.
void AnswerSaveAsMp3(sonvira::TMainForm& form, const QString& name) {
    QTimer::singleShot(0, &form, [&form, name] {
        auto* dialog = form.findChild<sonvira::TOpenDialog*>("SaveDialog1");
        dialog->selectNameFilter(dialog->nameFilters().at(0));
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText(name);
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

void MeasureSoundJobs(sonvira::TMainForm& form) {
    MeasureSoundJob(form, "Maximale Lautstärke", [&] { form.MenuItem("MaximaleLautstrke1")->trigger(); });
    form.findChild<sonvira::TFloatSpinEdit*>("SpeedEd")->SetValue(1.5);
    MeasureSoundJob(form, "permanent change at 1.5", [&] { form.DoEffektClick(); });
    const QString mp3 = QDir::temp().filePath("sonvira-bench-save.mp3");
    AnswerSaveAsMp3(form, mp3);
    MeasureSoundJob(form, "save as MP3", [&] { form.SaveBtnClick(); });
    QFile::remove(mp3);
}

void MeasureRip(const QString& dataFolder) {
    SlowDrive drive;
    sonvira::TMainForm form(dataFolder, drive.Parts());
    form.SetCommandLine({});
    form.ShowMessage = [](QMessageBox::Icon, const QString& text) {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    };
    auto* dialog = form.findChild<sonvira::TMusikCDForm*>("MusikCDForm");
    QElapsedTimer took;
    took.start();
    const qint64 gap = LargestGap(
        [&] {
            QTimer::singleShot(0, dialog, [dialog] { dialog->BitBtnXP1Click(); });
            form.MusikCDBtnClick();  // returns when the rip has ended
        },
        [] { return false; });
    std::printf("rip of 5 reads at 1 s each: %.2f s, %d bytes of sound\n", took.elapsed() / 1000.0,
                form.Document().DataSize);
    std::printf("largest gap of the window thread's 10 ms timer during the rip: %lld ms (target <= 50)\n",
                static_cast<long long>(gap));

    // Abbrechen while a read hangs.
    drive.reads->Hold();
    QElapsedTimer sinceAbbrechen;
    qint64 closedAfter = -1;
    QObject::connect(dialog, &QDialog::finished, [&] { closedAfter = sinceAbbrechen.elapsed(); });
    QTimer::singleShot(0, dialog, [&] {
        dialog->BitBtnXP1Click();
        WaitWhileHandlingEvents([&] { return drive.reads->Waiting() > 0; });
        sinceAbbrechen.start();
        dialog->BitBtnXP2Click();
    });
    form.MusikCDBtnClick();
    std::printf("Abbrechen during a hanging read to the dialog closed: %lld ms (target <= 200)\n",
                static_cast<long long>(closedAfter));
    drive.reads->Release();
    WaitWhileHandlingEvents([&] { return drive.transport->OpenDrives() == 0; });
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <sound file>\n", argv[0]);
        return 2;
    }
    sonvira::TMainForm form(QDir::tempPath());
    form.SetCommandLine({});
    form.ShowMessage = [](QMessageBox::Icon, const QString& text) {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    };
    QElapsedTimer took;
    took.start();
    const qint64 gap = LargestGap([&] { form.OpenFileWithName(QString::fromLocal8Bit(argv[1])); },
                                  [&] { return form.Busy(); });
    std::printf("import of %s: %.2f s, %d bytes of sound\n", argv[1], took.elapsed() / 1000.0,
                form.Document().DataSize);
    std::printf("largest gap of the window thread's 10 ms timer during the import: %lld ms (target <= 50)\n",
                static_cast<long long>(gap));
    MeasureSoundJobs(form);
    MeasureRip(QDir::tempPath());
    return 0;
}
