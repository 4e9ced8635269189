#pragma once
// "Lied von Musik-CD einlesen...": the CD import dialog. Made once at start-up and reused;
// its log keeps every line of the run. The OK button reads the chosen track of the chosen
// drive (RipTrack) on a worker thread; log lines and the position arrive as posted steps,
// so the window stays responsive during every read. Abbrechen stops the rip after its
// block; a read the drive never answers is abandoned instead, and the dialog closes at
// once. The sound read is kept for the main window, which replaces its document with it.

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "BackgroundJob.h"
#include "FindAllCDDrives.h"
#include "RipTrack.h"
#include "TrackTable.h"
#include "WindowThreadPost.h"

namespace sonvira {

class CdTransport;
class TBitBtnXP;
class TranslationContext;

class TMusikCDForm : public QDialog {
    Q_OBJECT
public:
    // `transport` sends the rips' commands; shared with every rip, which may outlive the
    // dialog when a read hangs.
    TMusikCDForm(TranslationContext& translation, std::shared_ptr<CdTransport> transport, QWidget* parent);

    // How long Abbrechen waits for the block in hand before giving the read up.
    static constexpr std::chrono::milliseconds kCancelWait{150};

    // Fills the drive box from the drive table (one line each) and selects the first.
    void SetDrives(CdDriveTable drives);
    // Appends one line to the log.
    void AppendLog(const std::string& line);

    // OK: starts the rip; the dialog closes with OK when it has ended.
    void BitBtnXP1Click();
    // Abbrechen: stops a running rip (see reject); otherwise closes as cancel.
    void BitBtnXP2Click();
    // Starts the rip of the chosen track on the worker.
    void SaveTrackClick();
    // The sound the last rip read (44100 Hz 16-bit stereo, whole blocks), taken once.
    std::vector<uint8_t> TakeSound();
    // Whether the last rip stopped at the largest sound the program holds; taken once.
    bool TakeLimitReached() { return std::exchange(limitReached_, false); }
    // From OK until the rip has ended or was given up.
    bool Ripping() const { return job_.Running(); }
    // For closing the program: stops a rip, waiting for it only briefly, and closes.
    void CloseRip();

    // Runs on the window thread just before a rip starts (the main window stops playback).
    std::function<void()> BeforeRip;
    // The largest sound a rip reads; the program's own limit (tests lower it).
    std::size_t MostSoundBytes = kMostSoundBytes;

    QComboBox* DriveBox = nullptr;
    QSpinBox* STrackEd = nullptr;
    QLabel* Label1 = nullptr;
    QCheckBox* KaraokeCheck = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    TBitBtnXP* OKBtn = nullptr;
    TBitBtnXP* CancelBtn = nullptr;

    TrackTable Tracks;  // TrackStart and TrackCount of the last table of contents

protected:
    // Esc and the window's close button during a rip stop the rip instead.
    void reject() override;

private:
    struct RipOutcome {
        RipResult Result;
        std::string Failure;  // the text of an exception that ended the rip
    };
    RipRequest ChosenRequest() const;
    void RipEnded(RipOutcome outcome);
    void GiveUpHangingRip();

    TranslationContext& translation_;
    std::shared_ptr<CdTransport> transport_;
    CdDriveTable drives_;
    std::vector<uint8_t> sound_;
    bool limitReached_ = false;
    int ripNumber_ = 0;  // tells a late cancel timer that its rip has ended
    // Rips still running on a worker, given up or not: the transport serves one at a time.
    std::shared_ptr<std::atomic<int>> ripsAlive_ = std::make_shared<std::atomic<int>>(0);
    BackgroundJob job_{QueuedOn(this)};  // last: stopped before the members its steps use
};

}  // namespace sonvira
