// How long the window thread is kept from its events while long work runs. A 10 ms timer
// on the window thread notes the largest gap between its ticks while the real main window
// imports a sound file (e.g. a 10-minute FLAC, made by window_responsiveness.sh).
// Prints the import's time and the largest gap; the target is a gap of at most 50 ms.
//
//   app_responsiveness <sound file>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "TMainForm.h"

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
    return 0;
}
