// Figures for the translation work of a start: opening translate.dbf and building its
// index, walking every window, and single lookups, with a generated table of 10,000
// records. Run: i18n_bench (QT_QPA_PLATFORM=offscreen is set when unset).

#include "MessageCatalogue.h"
#include "TranslationContext.h"
#include "Win1252.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#ifdef SONVIRA_BENCH_WINDOWS
#include "TranslateWindows.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#endif

namespace sonvira {
namespace {

constexpr int kRecords = 10000;

std::string TableDir() {
    static const std::string dir = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "sonvira-bench-XXXXXX").string();
        return std::string(::mkdtemp(pattern.data())) + "/";
    }();
    return dir;
}

// German-looking texts spread over the capital letters, as a program's captions are.
std::string GeneratedText(int i) {
    static const char* words[] = {"Datei", "Öffnen", "Speichern", "Effekt", "Lautstärke", "Zoom", "Auswahl"};
    return std::string(1, static_cast<char>('A' + i % 26)) + words[i % 7] + " " + std::to_string(i);
}

std::vector<std::string> WindowTexts() {
    std::vector<std::string> texts;
    for (int w = 0; w < 8; ++w)
        for (int c = 0; c < 40; ++c) texts.push_back("Fenster " + std::to_string(w) + " Element " + std::to_string(c));
    return texts;
}

// The table: 10,000 records, every window and catalogue text among them with an English
// translation, so that a walk finds everything and appends nothing.
const std::string& TablePath() {
    static const std::string path = [] {
        const std::string p = TableDir() + "translate.dbf";
        std::filesystem::remove(p);
        TranslationContext tr;
        tr.OpenTranslationTable(p);
        int n = 0;
        const auto add = [&](const std::string& german) {
            const std::string values[] = {Utf8ToWin1252(german), Utf8ToWin1252(german + " (en)")};
            tr.Table().AppendRecord(values);
            ++n;
        };
        for (const CatalogueEntry& e : MessageCatalogue()) add(e.German);
        for (const std::string& t : WindowTexts()) add(t);
        for (int i = 0; n < kRecords; ++i) add(GeneratedText(i));
        return p;
    }();
    return path;
}

void BM_OpenAndBuildIndex(benchmark::State& state) {
    const std::string& path = TablePath();
    for (auto _ : state) {
        TranslationContext tr;
        tr.OpenTranslationTable(path);
        tr.BuildTranslationIndex();
        benchmark::DoNotOptimize(tr.Bucket('D').Count());
    }
    state.counters["records"] = kRecords;
}
BENCHMARK(BM_OpenAndBuildIndex)->Unit(benchmark::kMillisecond);

void BM_TranslateHit(benchmark::State& state) {
    TranslationContext tr;
    tr.OpenTranslationTable(TablePath());
    tr.BuildTranslationIndex();
    tr.SetLanguageIndex(1);
    std::string text = " ";  // outer blanks, as captions have them
    text += GeneratedText(5000);
    text += ' ';
    for (auto _ : state) benchmark::DoNotOptimize(tr.Translate(text));
}
BENCHMARK(BM_TranslateHit)->Unit(benchmark::kMicrosecond);

// A miss scans the whole bucket of its first byte; a read-only table adds nothing.
void BM_TranslateMissReadOnly(benchmark::State& state) {
    TranslationContext tr;
    tr.OpenTranslationTable(TablePath());
    tr.BuildTranslationIndex();
    tr.Table().Close();
    tr.Table().SetReadOnly(true);
    tr.Table().Open(TablePath());
    tr.SetLanguageIndex(1);
    for (auto _ : state) benchmark::DoNotOptimize(tr.Translate("Dnicht im Index"));
}
BENCHMARK(BM_TranslateMissReadOnly)->Unit(benchmark::kMicrosecond);

// On a writable table a miss then appends a record (two writes to the file).
void BM_TranslateMissAppending(benchmark::State& state) {
    const std::string copy = TableDir() + "miss.dbf";
    std::filesystem::copy_file(TablePath(), copy, std::filesystem::copy_options::overwrite_existing);
    TranslationContext tr;
    tr.OpenTranslationTable(copy);
    tr.BuildTranslationIndex();
    tr.SetLanguageIndex(1);
    int i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(tr.Translate("Dneu " + std::to_string(i++)));
}
BENCHMARK(BM_TranslateMissAppending)->Unit(benchmark::kMicrosecond);

#ifdef SONVIRA_BENCH_WINDOWS
// Eight windows of 40 controls each (labels, buttons, check boxes, spin edits, combo
// boxes with four entries), plus a menu, as the program has them.
struct Windows {
    std::vector<std::unique_ptr<QWidget>> owned;
    QList<QWidget*> list;
    Windows() {
        const std::vector<std::string> texts = WindowTexts();
        for (int w = 0; w < 8; ++w) {
            QWidget* window = w == 0 ? static_cast<QWidget*>(new QMainWindow) : new QDialog;
            window->setWindowTitle(QString::fromStdString(texts[static_cast<std::size_t>(w * 40)]));
            auto* body = w == 0 ? new QWidget(window) : window;
            if (w == 0) static_cast<QMainWindow*>(window)->setCentralWidget(body);
            for (int c = 1; c < 40; ++c) {
                const QString t = QString::fromStdString(texts[static_cast<std::size_t>(w * 40 + c)]);
                switch (c % 5) {
                    case 0: new QLabel(t, body); break;
                    case 1: (new QPushButton(t, body))->setToolTip(t); break;
                    case 2: new QCheckBox(t, body); break;
                    case 3: (new QDoubleSpinBox(body))->setToolTip(t); break;
                    default: (new QComboBox(body))->addItems({t, t, t, t}); break;
                }
            }
            if (w == 0) static_cast<QMainWindow*>(window)->menuBar()->addMenu("Datei")->addAction("Öffnen");
            owned.emplace_back(window);
            list.append(window);
        }
    }
};

void BM_StartupTranslation(benchmark::State& state) {
    const std::string& path = TablePath();
    for (auto _ : state) {
        state.PauseTiming();
        auto windows = std::make_unique<Windows>();
        state.ResumeTiming();
        TranslationContext tr;
        tr.OpenTranslationTable(path);
        tr.BuildTranslationIndex();
        tr.SetLanguageIndex(1);
        RegisterMessages(tr);
        TranslateWindows(windows->list, tr);
        state.PauseTiming();
        windows.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupTranslation)->Unit(benchmark::kMillisecond);
#endif

}  // namespace
}  // namespace sonvira

int main(int argc, char** argv) {
#ifdef SONVIRA_BENCH_WINDOWS
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
#endif
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(sonvira::TableDir());
    return 0;
}
