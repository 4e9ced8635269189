// The files a user comes back to: the "Zuletzt geöffnet" menu, where they were in each
// file, and opening a file from that menu or from a drop while a sound plays.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>

#include "KeepsItsTexts.h"
#include "MenuItemName.h"
#include "TMainForm.h"
#include "TPaintBox.h"

namespace sonvira {
namespace {

std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }
QString FromLocalPath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

}  // namespace

// The submenu sits under "Öffnen..."; its items show file names, which are not program
// texts: they hang on a holder the window walk leaves alone.
void TMainForm::BuildRecentMenu(QMenu* fileMenu, MenuItemNamer& namer) {
    RecentMenu = new QMenu("Zuletzt geöffnet", fileMenu);
    RecentMenu->setObjectName("RecentMenu");
    QAction* item = RecentMenu->menuAction();
    item->setObjectName(QString::fromStdString(namer.NameFor("Zuletzt geöffnet")));
    menuItems_.insert(item->objectName(), item);
    fileMenu->insertMenu(fileMenu->actions().value(1), RecentMenu);
    RecentItems = new QObject(RecentMenu);
    MarkKeepsItsTexts(RecentItems);
    // Files may have gone or come back since the menu was last shown.
    connect(RecentMenu, &QMenu::aboutToShow, this, &TMainForm::RebuildRecentMenu);
}

void TMainForm::RebuildRecentMenu() {
    RecentMenu->clear();
    qDeleteAll(RecentItems->children());
    const auto& paths = Recent.Paths();
    for (size_t i = 0; i < paths.size(); ++i) {
        const QString path = FromLocalPath(paths[i]);
        QString caption = path;
        caption.replace('&', "&&");
        auto* item = new QAction(QString("&%1 %2").arg(i + 1).arg(caption), RecentItems);
        item->setObjectName(QString("RecentFile%1").arg(i + 1));
        item->setEnabled(QFileInfo(path).isFile());
        connect(item, &QAction::triggered, this, [this, path] { OpenWhenStopped(path); });
        RecentMenu->addAction(item);
    }
    RecentMenu->menuAction()->setEnabled(!paths.empty());
}

void TMainForm::LoadFilePlaces() {
    Recent.Load(Settings);
    Memory.Load(Settings);
    RebuildRecentMenu();
}

void TMainForm::OpenWhenStopped(const QString& fileName) {
    if (Busy()) return;
    if (StopBtn->isEnabled()) {
        // Something plays or records: ask it to end and come back once it has.
        PendingOpen = fileName;
        StopRequested = true;
        if (OnStopRecording) OnStopRecording();
        Timer2->start();
        return;
    }
    OpenCommonSteps(fileName);
}

// The sound was written over the file it came from: its place now belongs to that new state
// of the file.
void TMainForm::SavedOverOpenedFile(const QString& savedName) {
    if (CurrentFile.isEmpty() || QFileInfo(savedName).absoluteFilePath() != CurrentFile) return;
    if (const auto stamp = StampOf(LocalPath(CurrentFile))) CurrentStamp = *stamp;
}

FilePlace TMainForm::CurrentPlace() const {
    return FilePlace{Doc.SelAnchor, Doc.SelEnd, ZoomOutEd->value(), ScrollBar1->value(), SpeedEd->value(),
                     PitchEd->value()};
}

// Remembers where the user was in the file the sound came from, under the state the file
// had when it was opened (or saved over by this program), before another sound replaces it.
// A file another program changed meanwhile will not match it: it starts fresh.
void TMainForm::LeaveCurrentFile() {
    if (CurrentFile.isEmpty()) return;
    if (CurrentStamp) Memory.Remember(LocalPath(CurrentFile), *CurrentStamp, CurrentPlace());
    CurrentFile.clear();
    CurrentStamp.reset();
}

// The sound just read came from `fileName`: it becomes the newest recent file, and the
// place remembered for this state of the file comes back.
void TMainForm::EnterFile(const QString& fileName) {
    CurrentFile = QFileInfo(fileName).absoluteFilePath();
    const std::string path = LocalPath(CurrentFile);
    Recent.Add(path);
    RebuildRecentMenu();
    CurrentStamp = StampOf(path);
    const auto place = CurrentStamp ? Memory.Recall(path, *CurrentStamp) : std::nullopt;
    if (place) RestorePlace(*place);
    SaveFilePlaces();
}

void TMainForm::RestorePlace(const FilePlace& place) {
    if (ZoomOutEd->value() != place.zoom)
        ZoomOutEd->setValue(place.zoom);  // within the field's bounds
    else
        ZoomOutEdChange();
    ScrollBar1->setValue(place.scroll);  // within the scroll bar's range for this zoom
    // The speed last: with the fields coupled it sets both.
    PitchEd->setValue(place.pitch);
    SpeedEd->setValue(place.speed);
    RestoredSelection = place;
    ApplyRestoredSelection();
}

// The open dialog's closing click may land on the waveform; Timer1 clears what it selected
// and then puts the remembered selection back.
void TMainForm::ApplyRestoredSelection() {
    if (!RestoredSelection) return;
    const int32_t count = Doc.SampleCount();
    Doc.SelAnchor = std::clamp(RestoredSelection->selAnchor, 0, count);
    Doc.SelEnd = std::clamp(RestoredSelection->selEnd, 0, count);
    PaintBox1Paint();
}

void TMainForm::SaveFilePlaces() {
    Recent.Store(Settings);
    Memory.Store(Settings);
    // A folder this user may not write keeps them for this run only; a save shows what
    // other copies opened meanwhile.
    if (Settings.Save()) LoadFilePlaces();
}

}  // namespace sonvira
