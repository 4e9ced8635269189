#include "MessageCatalogue.h"
#include "StartupTranslation.h"
#include "TranslateWindows.h"
#include "TranslationContext.h"
#include "Win1252.h"

#include "TempDir.h"
#include "TestApplication.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTreeWidget>

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace sonvira {
namespace {

using test::TempDir;

using test::App;

// A file dialog that keeps its filter in the program's own "description|patterns" form.
class FilterDialog : public QFileDialog {
    Q_OBJECT
    Q_PROPERTY(QString filterText READ FilterText WRITE SetFilterText)
public:
    using QFileDialog::QFileDialog;
    QString FilterText() const { return filter_; }
    void SetFilterText(const QString& f) { filter_ = f; }

private:
    QString filter_;
};

// A miniature of the program: a main window with menu, controls and a file dialog, and a
// dialog parented to it (as Qt dialogs are) that is also listed as a window of its own.
struct Program {
    std::unique_ptr<QMainWindow> main = std::make_unique<QMainWindow>();
    QDialog* effect = nullptr;
    QPushButton* open = nullptr;
    QComboBox* rates = nullptr;
    QTableWidget* grid = nullptr;
    QTreeWidget* tracks = nullptr;
    QPlainTextEdit* log = nullptr;
    QFileDialog* openDialog = nullptr;
    FilterDialog* saveDialog = nullptr;
    QAction* openItem = nullptr;

    Program() {
        App();
        main->setWindowTitle("Orlanda Sonvira 1.0");
        auto* central = new QWidget(main.get());
        main->setCentralWidget(central);
        open = new QPushButton("Öffnen...", central);
        open->setToolTip("Öffnet eine Datei");
        new QLabel("Geschwindigkeit:", central);
        auto* speed = new QDoubleSpinBox(central);
        speed->setToolTip("Tempo");
        speed->setValue(1.0);
        new QCheckBox("In einer Schleife kontinuierlich abspielen", central);
        QMenu* file = main->menuBar()->addMenu("Datei");
        openItem = file->addAction("Öffnen...");
        openItem->setStatusTip("Öffnet eine WAV- oder MP3-Datei");
        file->addSeparator();
        file->addAction("Beenden");
        main->statusBar()->showMessage("Bereit");
        openDialog = new QFileDialog(main.get());
        openDialog->setNameFilters({"WAV und MP3-Dateien (*.WAV *.MP3)", "Alle Dateien (*)"});
        saveDialog = new FilterDialog(main.get());
        saveDialog->SetFilterText("WAV-Datei|*.WAV;MP3-Datei|*.MP3");

        effect = new QDialog(main.get());
        effect->setWindowTitle("Effekt");
        auto* group = new QGroupBox("Echo", effect);
        rates = new QComboBox(group);
        rates->addItems({"22050", "44100", "48000"});
        rates->setCurrentIndex(2);
        grid = new QTableWidget(2, 2, effect);
        grid->setHorizontalHeaderLabels({"Spur", "Länge"});
        grid->setItem(0, 0, new QTableWidgetItem("Zelle"));
        tracks = new QTreeWidget(effect);
        tracks->setHeaderLabels({"Nummer", "Dauer"});
        new QTreeWidgetItem(tracks, QStringList{"Eintrag"});
        log = new QPlainTextEdit("Erste Zeile\n\nZweite Zeile", effect);
        new QLineEdit("Vorgabe", effect);
    }

    QList<QWidget*> Windows() const { return {main.get(), effect}; }
};

// Every German text the walk should meet in Program, once each.
const std::set<std::string> kWindowTexts = {
    "Orlanda Sonvira 1.0", "Öffnen...", "Öffnet eine Datei", "Geschwindigkeit:", "Tempo",
    "In einer Schleife kontinuierlich abspielen", "Datei", "Öffnet eine WAV- oder MP3-Datei",
    "Beenden", "WAV und MP3-Dateien (*.WAV *.MP3);;Alle Dateien (*)", "WAV-Datei|*.WAV;MP3-Datei|*.MP3",
    "Effekt", "Echo", "22050", "44100", "48000", "Spur", "Länge", "Nummer", "Dauer", "Erste Zeile",
    "Zweite Zeile", "Vorgabe"};

std::vector<std::string> GermanColumn(const TranslationContext& tr) {
    std::vector<std::string> out;
    for (uint32_t r = 1; r <= tr.Table().RecordCount(); ++r) out.push_back(Win1252ToUtf8(tr.Table().Value(r, 0)));
    return out;
}

std::vector<std::string> CatalogueKeys() {
    std::vector<std::string> keys;
    std::set<std::string> seen;
    for (const CatalogueEntry& e : MessageCatalogue()) {
        std::string key = e.German;
        key.erase(0, key.find_first_not_of(' '));
        if (seen.insert(key).second) keys.push_back(key);
    }
    return keys;
}

struct Fresh {
    TempDir dir;
    TranslationContext tr;
    explicit Fresh(int32_t language) {
        App();
        EXPECT_TRUE(OpenTranslationAtCreate(tr, dir.path().string() + "/", nullptr));
        tr.SetLanguageIndex(language);
    }
    uint32_t Find(const std::string& german) const {
        for (uint32_t r = 1; r <= tr.Table().RecordCount(); ++r)
            if (tr.Table().Value(r, 0) == Utf8ToWin1252(german)) return r;
        return 0;
    }
};

TEST(StartupTranslation, GermanStartAddsOnlyCatalogueTitleAndCaption) {
    Fresh s(0);
    Program p;
    const QString title = TranslateAtFirstShow(s.tr, p.Windows(), p.main.get(), "Sonvira", "Orlanda Sonvira 1.0");
    std::vector<std::string> expected = CatalogueKeys();
    expected.push_back("Sonvira");
    expected.push_back("Orlanda Sonvira 1.0");
    EXPECT_EQ(GermanColumn(s.tr), expected);
    EXPECT_EQ(title, "Sonvira");
    EXPECT_EQ(p.main->windowTitle(), "Orlanda Sonvira 1.0");
}

TEST(StartupTranslation, ForeignStartAddsEveryWindowTextOnce) {
    Fresh s(1);
    Program p;
    TranslateAtFirstShow(s.tr, p.Windows(), p.main.get(), "Sonvira", "Orlanda Sonvira 1.0");
    const std::vector<std::string> german = GermanColumn(s.tr);
    const std::vector<std::string> catalogue = CatalogueKeys();
    ASSERT_GE(german.size(), catalogue.size());
    EXPECT_EQ(std::vector<std::string>(german.begin(), german.begin() + static_cast<long>(catalogue.size())), catalogue);
    std::vector<std::string> rest(german.begin() + static_cast<long>(catalogue.size()), german.end());
    EXPECT_EQ(rest.back(), "Sonvira");
    rest.pop_back();
    // Exactly the program's texts: none twice, no grid cell or list item, no spin value,
    // nothing from inside Qt's own file dialog.
    EXPECT_EQ(std::set<std::string>(rest.begin(), rest.end()), kWindowTexts);
    EXPECT_EQ(rest.size(), kWindowTexts.size());
}

TEST(TranslateWindows, WalksBreadthFirstAndChildrenFromLastToFirst) {
    Fresh s(1);
    App();
    QWidget a, b;
    a.setWindowTitle("Fenster A");
    new QLabel("a1", &a);
    auto* box = new QGroupBox("a2", &a);
    new QLabel("a2 innen", box);
    b.setWindowTitle("Fenster B");
    new QLabel("b1", &b);
    TranslateWindows(QList<QWidget*>{&a, &b}, s.tr);
    EXPECT_EQ(GermanColumn(s.tr),
              (std::vector<std::string>{"Fenster B", "Fenster A", "b1", "a2", "a1", "a2 innen"}));
}

TEST(TranslateWindows, EnglishRowsReachTheControlsAndNothingIsTranslatedTwice) {
    Fresh s(1);
    Program p;
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"Öffnen...", "&Open..."}, {"Öffnet eine Datei", "Opens a file"}, {"Effekt", "Effect"},
        {"Datei", "File"}, {"Orlanda Sonvira 1.0", "Orlanda Sonvira 1.0 (English)"},
        {"Länge", "Length"}, {"Dauer", "Duration"}, {"Zweite Zeile", "Second line"},
        {"WAV und MP3-Dateien (*.WAV *.MP3);;Alle Dateien (*)", "WAV and MP3 files (*.WAV *.MP3);;All files (*)"},
        {"WAV-Datei|*.WAV;MP3-Datei|*.MP3", "WAV file|*.WAV;MP3 file|*.MP3"}, {"Vorgabe", "Default"},
    };
    for (const auto& [german, english] : rows) {
        const std::string values[] = {Utf8ToWin1252(german), Utf8ToWin1252(english)};
        s.tr.Table().AppendRecord(values);
    }
    s.tr.BuildTranslationIndex();
    TranslateAtFirstShow(s.tr, p.Windows(), p.main.get(), "Sonvira", "Orlanda Sonvira 1.0");

    EXPECT_EQ(p.open->text(), "&Open...");
    EXPECT_EQ(p.open->toolTip(), "Opens a file");
    EXPECT_EQ(p.openItem->text(), "&Open...");
    EXPECT_EQ(p.main->menuBar()->actions().first()->text(), "File");
    EXPECT_EQ(p.effect->windowTitle(), "Effect");
    EXPECT_EQ(p.main->windowTitle(), "Orlanda Sonvira 1.0 (English)");
    EXPECT_EQ(p.grid->horizontalHeaderItem(1)->text(), "Length");
    EXPECT_EQ(p.tracks->headerItem()->text(1), "Duration");
    EXPECT_EQ(p.log->toPlainText(), "Erste Zeile\n\nSecond line");
    EXPECT_EQ(p.openDialog->nameFilters(), (QStringList{"WAV and MP3 files (*.WAV *.MP3)", "All files (*)"}));
    EXPECT_EQ(p.saveDialog->FilterText(), "WAV file|*.WAV;MP3 file|*.MP3");
    EXPECT_EQ(p.effect->findChild<QLineEdit*>()->text(), "Default");
    // A translated text met again would have been appended as a new German text.
    for (const auto& [german, english] : rows) EXPECT_EQ(s.Find(english), 0u) << english;
}

TEST(TranslateWindows, ComboBoxKeepsItsSelectedEntry) {
    Fresh s(1);
    Program p;
    for (const char* rate : {"22050", "44100", "48000"}) {
        const std::string values[] = {rate, std::string(rate) + " Hz"};
        s.tr.Table().AppendRecord(values);
    }
    s.tr.BuildTranslationIndex();
    TranslateWindows(p.Windows(), s.tr);
    EXPECT_EQ(p.rates->currentIndex(), 2);
    EXPECT_EQ(p.rates->currentText(), "48000 Hz");
    EXPECT_EQ(p.rates->itemText(0), "22050 Hz");
}

TEST(TranslateWindows, SingleWindowRootTranslatesItsOwnCaptionFirst) {
    Fresh s(1);
    App();
    QDialog dialog;
    dialog.setWindowTitle("Übersetzen");
    new QPushButton("Zurück...", &dialog);
    TranslateWindows(&dialog, s.tr);
    EXPECT_EQ(GermanColumn(s.tr), (std::vector<std::string>{"Übersetzen", "Zurück..."}));
}

}  // namespace
}  // namespace sonvira

#include "TranslateWindowsTest.moc"
