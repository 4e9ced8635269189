// "Von Musik-CD einlesen...": the CD import. Drive discovery, the dialog and the rip live
// in the cdrom module; here the first-use search, the dialog's showing and the take-over
// of what was read. The rip runs on a worker while the dialog is up; Busy() holds the
// main window's commands and hot keys off meanwhile.
#include <QAction>
#include <QScreen>
#include <cstdlib>
#include <cstring>

#include "TMainForm.h"
#include "TMusikCDForm.h"

namespace sonvira {

void TMainForm::CreateCdImport(CdAccess access) {
    if (!access.Calls || !access.Transport) return;
    Cd = std::make_shared<CdAccess>(std::move(access));
    MusikCDForm = new TMusikCDForm(Translation, std::shared_ptr<CdTransport>(Cd, Cd->Transport.get()), this);
    MusikCDForm->BeforeRip = [this] { StopPlayback(); };  // as Open does: nothing plays over a rip
    QAction* item = MenuItem("VonMusikCDeinlesen1");
    item->setEnabled(true);
    connect(item, &QAction::triggered, this, &TMainForm::MusikCDBtnClick);
}

void TMainForm::MusikCDBtnClick() {
    if (!MusikCDForm || Busy()) return;
    if (!DrivesSearched) {
        // Once per run: drives added later are not seen, an empty result stays empty.
        DrivesSearched = true;
        MusikCDForm->SetDrives(FindAllCDDrives(*Cd->Calls, *Cd->Transport, Translation,
                                               [this](const std::string& line) { MusikCDForm->AppendLog(line); }));
    }
    CentreOnScreen(MusikCDForm);
    MusikCDForm->exec();
    TakeOverRip();
    ZoomOutFullClick();
    PaintBox1Paint();
}

// The dialog opens in the middle of the screen the window is on, wherever the window is.
void TMainForm::CentreOnScreen(QWidget* dialog) {
    const QScreen* screen = this->screen();
    if (!screen) return;
    dialog->adjustSize();
    dialog->move(screen->availableGeometry().center() - dialog->rect().center());
}

// What a rip read becomes the sound, after playback has stopped; a rip that read nothing
// leaves the sound as it was.
void TMainForm::TakeOverRip() {
    std::vector<uint8_t> sound = MusikCDForm->TakeSound();
    const bool limitReached = MusikCDForm->TakeLimitReached();
    if (sound.empty()) return;
    StopPlayback();
    auto* block = static_cast<uint8_t*>(std::malloc(sound.size()));
    if (block == nullptr) {
        ShowMessage(QMessageBox::Critical, Tr("Zu wenig Arbeitsspeicher für den gelesenen Track."));
        return;
    }
    std::memcpy(block, sound.data(), sound.size());
    LeaveCurrentFile();  // the new sound comes from no file
    Doc.InstallBlock(block, static_cast<int32_t>(sound.size()), 44100, true, true);
    if (limitReached) ShowMessage(QMessageBox::Information, LargestSoundMessage());
}

}  // namespace sonvira
