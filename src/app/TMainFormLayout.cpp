// Building the main window: top bar, transport bar, waveform view, scroll bar, zoom bar,
// status bar and the main menu, from top to bottom.
#include <QActionGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>

#include "MenuItemName.h"
#include "TBitBtnXP.h"
#include "TMainForm.h"
#include "TPaintBox.h"
#include "TProgressPanel.h"

namespace sonvira {
namespace {

QPushButton* Button(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new TBitBtnXP(TBitBtnXP::Kind::Custom, caption, parent);
    b->setObjectName(name);
    return b;
}

QLabel* Label(QWidget* parent, const QString& caption) {
    auto* l = new QLabel(caption, parent);
    return l;
}

// Rows keep to the window's 780 pixels: small margins and spacing, compact fields.
template <typename Layout>
Layout* CompactLayout(QWidget* bar) {
    auto* layout = new Layout(bar);
    layout->setContentsMargins(6, 3, 6, 3);
    layout->setSpacing(4);
    return layout;
}

TFloatSpinEdit* DecimalField(QWidget* parent, const char* name, QLabel* label, double lo,
                             double hi, double value) {
    auto* e = new TFloatSpinEdit(lo, hi, 0.1, value, parent);
    e->setObjectName(name);
    e->setFixedWidth(64);
    e->setAccessibleName(label->text());
    label->setBuddy(e);
    return e;
}

}  // namespace

void TMainForm::BuildTopBar(QWidget* bar) {
    OpenBtn = Button(bar, "OpenBtn", "Öffnen...");
    connect(OpenBtn, &QPushButton::clicked, this, &TMainForm::OpenBtnClick);
    auto* speedLabel = Label(bar, "Geschwindigkeit:");
    SpeedEd = DecimalField(bar, "SpeedEd", speedLabel, 0.1, 10, 1);
    auto* pitchLabel = Label(bar, "Tonhöhe");
    PitchEd = DecimalField(bar, "PitchEd", pitchLabel, 0.01, 100, 1);
    PitchSpeedCombineCheck = new QCheckBox("Geschwindigkeit und Tonhöhe zusammen ändern", bar);
    PitchSpeedCombineCheck->setObjectName("PitchSpeedCombineCheck");
    PitchSpeedCombineCheck->setChecked(true);
    auto* spulLabel = Label(bar, "Rückspulen nach Pause:");
    SpulEd = DecimalField(bar, "SpulEd", spulLabel, 0, 1000, 2);
    // Two lines, so that the bar fits the window's width: the coupling check box sits
    // under the two fields it couples.
    auto* grid = new QGridLayout(bar);
    grid->setContentsMargins(6, 1, 6, 1);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(0);
    grid->addWidget(OpenBtn, 0, 0);
    grid->addWidget(speedLabel, 0, 1);
    grid->addWidget(SpeedEd, 0, 2);
    grid->addWidget(pitchLabel, 0, 3);
    grid->addWidget(PitchEd, 0, 4);
    grid->addWidget(PitchSpeedCombineCheck, 1, 1, 1, 4);
    grid->addWidget(spulLabel, 0, 6);
    grid->addWidget(SpulEd, 0, 7);
    grid->addWidget(Label(bar, "Sekunden"), 0, 8);
    grid->setColumnStretch(5, 1);
}

void TMainForm::BuildTransportBar(QWidget* bar) {
    auto* column = CompactLayout<QVBoxLayout>(bar);
    auto* buttons = new QHBoxLayout;
    PlayBtn = Button(bar, "PlayBtn", "F11 -Abspielen");
    RecordBtn = Button(bar, "RecordBtn", "Aufnehmen");
    StopBtn = Button(bar, "StopBtn", "STOP");
    StopBtn->setEnabled(false);
    PauseBtn = Button(bar, "PauseBtn", "F11 -Pause/Play");
    PauseBtn->setEnabled(false);
    SchleifeCheck = new QCheckBox("In einer Schleife kontinuierlich abspielen", bar);
    SchleifeCheck->setObjectName("SchleifeCheck");
    SchleifeCheck->setChecked(true);
    HighQualityCheck = new QCheckBox("Hohe Klangqualität", bar);
    HighQualityCheck->setObjectName("HighQualityCheck");
    DoEffektBtn = Button(bar, "DoEffektBtn", "Stimmen Effekt dauerhaft anwenden...");
    // The transport buttons on one line, the loop switch and the permanent change on the
    // next, the hint below: the bar keeps to the window's width.
    for (QWidget* w : {PlayBtn, RecordBtn, StopBtn, PauseBtn}) buttons->addWidget(w);
    buttons->addStretch();
    auto* options = new QHBoxLayout;
    options->addWidget(SchleifeCheck);
    options->addWidget(HighQualityCheck);
    options->addWidget(DoEffektBtn);
    options->addStretch();
    HintLabel = new QLabel(
        // The Shift forms first: X servers keep Ctrl+Alt+F-keys for switching consoles.
        "Mit F11 kann die Aufnahme gespielt und pausiert werden. Mit UMSCHALT+STRG+F11 (oder "
        "ALT+STRG+F11) kann das Tempo verringert werden. Mit UMSCHALT+STRG+F12 (oder "
        "ALT+STRG+F12) das Tempo erhöht werden.",
        bar);
    HintLabel->setObjectName("HintLabel");
    HintLabel->setWordWrap(true);
    column->addLayout(buttons);
    column->addLayout(options);
    column->addWidget(HintLabel);
}

void TMainForm::BuildZoomBar(QWidget* bar) {
    auto* row = CompactLayout<QHBoxLayout>(bar);
    const struct {
        const char* name;
        const char* caption;
    } buttons[] = {{"ZoomKleinerBtn", "Kleiner"},
                   {"ZoomGroesserBtn", "Größer"},
                   {"ZoomOutFull", "Ganze Datei"},
                   {"ZoomInFull", "Voller Zoom"},
                   {"ZoomSel", "Zoom auf Auswahl"}};
    for (const auto& b : buttons) row->addWidget(Button(bar, b.name, b.caption));
    auto* zoomLabel = Label(bar, "Verkleinerung:");
    ZoomOutEd = new QSpinBox(bar);
    ZoomOutEd->setObjectName("ZoomOutEd");
    ZoomOutEd->setRange(1, 1000000);
    ZoomOutEd->setSingleStep(10);
    ZoomOutEd->setValue(100);
    ZoomOutEd->setAccessibleName(zoomLabel->text());
    zoomLabel->setBuddy(ZoomOutEd);
    row->addWidget(zoomLabel);
    row->addWidget(ZoomOutEd);
    row->addWidget(Label(bar, "Samples je Bildpunkt"));  // what the zoom figure counts
    row->addStretch();
}

void TMainForm::BuildStatusBar() {
    StatusText = new QLabel(this);
    StatusText->setObjectName("StatusText");
    StatusText->setFixedWidth(400);
    ProgressPanel = new TProgressPanel(this);
    ProgressPanel->setFixedWidth(50);
    statusBar()->setFixedHeight(19);
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(StatusText);
    statusBar()->addWidget(ProgressPanel);
}

QAction* TMainForm::AddMenuItem(QMenu* menu, const QString& caption, MenuItemNamer& namer) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(QString::fromStdString(namer.NameFor(caption.toStdString())));
    menuItems_.insert(item->objectName(), item);
    return item;
}

void TMainForm::BuildMenu() {
    const QList<QPair<QString, QStringList>> menus = {
        {"Datei",
         {"Öffnen...", "-", "Speichern als WAV/MP3...", "-", "Von Musik-CD einlesen...", "-",
          "MP3 Ausgabe konfigurieren...", "-", "Beenden"}},
        {"Bearbeiten",
         {"Zur Auswahl zurechtschneiden", "Die Auswahl wegschneiden", "Nichts auswählen", "-",
          "Sampleformat ändern..."}},
        {"Ansicht", {"Ganze Datei", "Voller Zoom", "Zoom auf Auswahl", "Kleiner", "Größer"}},
        {"Effekte",
         {"Echo...", "Weich einblenden", "Weich ausblenden", "Ende auf Anfang überblenden",
          "Maximale Lautstärke", "Lauter 10%", "Leiser 10%", "Rückwärts", "Schneller 10%",
          "Langsamer 10%"}},
        {"Sprache", {"Deutsch", "English", "Français", "-", "Übersetzen..."}},
        {"Hilfe", {"Tastenkürzel...", "Über das Programm..."}},
    };
    MenuItemNamer namer;  // names stay unique across all menus
    for (const auto& [title, items] : menus) {
        QMenu* menu = menuBar()->addMenu(title);
        menu->setObjectName(title);
        for (const QString& caption : items) {
            if (caption == "-")
                menu->addSeparator();
            else
                AddMenuItem(menu, caption, namer);
        }
        if (title == "Datei") BuildRecentMenu(menu, namer);
    }
    auto* languages = new QActionGroup(this);
    for (const char* name : {"Deutsch1", "English1", "Franais1"}) {
        QAction* item = MenuItem(name);
        item->setCheckable(true);
        languages->addAction(item);
    }
    MenuItem("Deutsch1")->setChecked(true);
}

}  // namespace sonvira
