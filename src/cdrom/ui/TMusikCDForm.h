#pragma once
// "Lied von Musik-CD einlesen...": the CD import dialog. Made once at start-up and reused;
// its log keeps every line of the run. The OK button reads the chosen track of the chosen
// drive (RipTrack), handing the window events once per block so that Abbrechen can stop
// it; the dialog closes after every rip. The sound read is kept for the main window,
// which replaces its document with it.

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <cstdint>
#include <vector>

#include "FindAllCDDrives.h"
#include "RipTrack.h"
#include "TrackTable.h"

namespace sonvira {

class CdTransport;
class TBitBtnXP;
class TranslationContext;

class TMusikCDForm : public QDialog, private RipListener {
    Q_OBJECT
public:
    // `transport` sends the rips' commands; borrowed, it must outlive the dialog.
    TMusikCDForm(TranslationContext& translation, CdTransport& transport, QWidget* parent);

    // Fills the drive box from the drive table (one line each) and selects the first.
    void SetDrives(CdDriveTable drives);
    // Appends one line to the log.
    void AppendLog(const std::string& line);

    // OK: the rip, then the dialog closes with OK.
    void BitBtnXP1Click();
    // Abbrechen: stops a running rip after its block; otherwise closes as cancel.
    void BitBtnXP2Click();
    // The rip of the chosen track.
    void SaveTrackClick();
    // The sound the last rip read (44100 Hz 16-bit stereo, whole blocks), taken once.
    std::vector<uint8_t> TakeSound();
    bool Ripping() const { return ripping_; }

    QComboBox* DriveBox = nullptr;
    QSpinBox* STrackEd = nullptr;
    QLabel* Label1 = nullptr;
    QCheckBox* KaraokeCheck = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    TBitBtnXP* OKBtn = nullptr;
    TBitBtnXP* CancelBtn = nullptr;

    bool CancelRip = false;
    TrackTable Tracks;  // TrackStart and TrackCount of the last table of contents

protected:
    // Esc and the window's close button during a rip stop the rip instead.
    void reject() override;

private:
    void Log(DeferredText line) override { AppendLog(line(translation_)); }
    void ShowPosition(const std::string& text) override;
    bool CancelRequested() override;

    TranslationContext& translation_;
    CdTransport& transport_;
    CdDriveTable drives_;
    std::vector<uint8_t> sound_;
    bool ripping_ = false;
};

}  // namespace sonvira
