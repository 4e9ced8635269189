#include "TMusikCDForm.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QTimer>
#include <QVBoxLayout>
#include <exception>
#include <utility>

#include "TBitBtnXP.h"
#include "TranslationContext.h"

namespace sonvira {

namespace {

// Hears from the rip on the worker and hands what the window shows over as posted steps;
// the steps run on the window thread only while the dialog still listens to the rip.
class PostingRipListener final : public RipListener {
public:
    PostingRipListener(JobContext& job, TMusikCDForm* dialog, TranslationContext* translation)
        : job_(job), dialog_(dialog), translation_(translation) {}

    void Log(DeferredText line) override {
        job_.Post([dialog = dialog_, translation = translation_, line = std::move(line)] {
            dialog->AppendLog(line(*translation));
        });
    }
    void ShowPosition(const std::string& text) override {
        job_.Post([dialog = dialog_, text] { dialog->Label1->setText(QString::fromStdString(text)); });
    }
    bool CancelRequested() override { return job_.Cancelled(); }

private:
    JobContext& job_;
    TMusikCDForm* dialog_;
    TranslationContext* translation_;
};

}  // namespace

TMusikCDForm::TMusikCDForm(TranslationContext& translation, std::shared_ptr<CdTransport> transport,
                           QWidget* parent)
    : QDialog(parent), translation_(translation), transport_(std::move(transport)) {
    setObjectName("MusikCDForm");
    setWindowTitle(QStringLiteral("Lied von Musik-CD einlesen..."));
    setAccessibleName(windowTitle());

    auto* driveLabel = new QLabel(QStringLiteral("Laufwerk:"), this);
    DriveBox = new QComboBox(this);
    DriveBox->setObjectName("DriveBox");
    DriveBox->setMinimumWidth(320);
    driveLabel->setBuddy(DriveBox);
    auto* trackLabel = new QLabel(QStringLiteral("Track zum Speichern:"), this);
    STrackEd = new QSpinBox(this);
    STrackEd->setObjectName("STrackEd");
    STrackEd->setRange(1, 256);
    STrackEd->setValue(1);
    trackLabel->setBuddy(STrackEd);
    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    KaraokeCheck = new QCheckBox(QStringLiteral("Karaoke Modus (nur Hintergrundmusik)"), this);
    KaraokeCheck->setObjectName("KaraokeCheck");
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setReadOnly(true);
    Memo1->setAccessibleName(QStringLiteral("Protokoll"));
    QPalette tooltip = Memo1->palette();
    tooltip.setColor(QPalette::Base, tooltip.color(QPalette::ToolTipBase));
    tooltip.setColor(QPalette::Text, tooltip.color(QPalette::ToolTipText));
    Memo1->setPalette(tooltip);
    Memo1->setFixedSize(460, 180);

    // Both buttons do their own work first: OK reads, Abbrechen may only stop a rip.
    OKBtn = new TBitBtnXP(TBitBtnXP::Kind::Custom, QStringLiteral("OK"), this);
    OKBtn->setObjectName("BitBtnXP1");
    OKBtn->setDefault(true);
    CancelBtn = new TBitBtnXP(TBitBtnXP::Kind::Custom, QStringLiteral("Abbrechen"), this);
    CancelBtn->setObjectName("BitBtnXP2");
    connect(OKBtn, &QPushButton::clicked, this, &TMusikCDForm::BitBtnXP1Click);
    connect(CancelBtn, &QPushButton::clicked, this, &TMusikCDForm::BitBtnXP2Click);

    auto* fields = new QGridLayout;
    fields->addWidget(driveLabel, 0, 0);
    fields->addWidget(DriveBox, 0, 1);
    fields->addWidget(trackLabel, 1, 0);
    fields->addWidget(STrackEd, 1, 1, Qt::AlignLeft);
    fields->addWidget(KaraokeCheck, 2, 1);
    fields->addWidget(Label1, 3, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(Memo1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TMusikCDForm::SetDrives(CdDriveTable drives) {
    drives_ = std::move(drives);
    DriveBox->clear();
    for (const CdDriveEntry& entry : drives_.Drives)
        DriveBox->addItem(QString::fromStdString(DriveBoxLine(entry, drives_.UseSpti)));
    if (DriveBox->count() > 0) DriveBox->setCurrentIndex(0);
}

void TMusikCDForm::AppendLog(const std::string& line) {
    Memo1->appendPlainText(QString::fromStdString(line));
}

void TMusikCDForm::BitBtnXP1Click() {
    if (job_.Running()) return;
    if (ripsAlive_->load() > 0) {
        // A read given up earlier still holds the drive; a second rip would queue behind it.
        AppendLog(translation_.Translate(
            "Das Laufwerk hat den abgebrochenen Lesebefehl noch nicht beendet. Bitte später noch einmal versuchen."));
        return;
    }
    OKBtn->setEnabled(false);
    if (BeforeRip) BeforeRip();
    SaveTrackClick();
}

void TMusikCDForm::BitBtnXP2Click() { reject(); }

void TMusikCDForm::reject() {
    if (!job_.Running()) {
        QDialog::reject();
        return;
    }
    // The rip stops after the block in hand; a read that does not return within the wait
    // is given up, so the dialog closes even over a drive that never answers.
    job_.Cancel();
    QTimer::singleShot(kCancelWait, this, [this, rip = ripNumber_] {
        if (job_.Running() && rip == ripNumber_) GiveUpHangingRip();
    });
}

void TMusikCDForm::GiveUpHangingRip() {
    job_.Abandon();
    AppendLog(translation_.Translate(
        "Das Laufwerk antwortet nicht. Das Einlesen wurde abgebrochen, es wurde nichts übernommen."));
    OKBtn->setEnabled(true);
    QDialog::reject();
}

void TMusikCDForm::CloseRip() {
    job_.Close();  // nothing of the rip is taken, not even when it ends meanwhile
    OKBtn->setEnabled(true);
    QDialog::reject();
}

RipRequest TMusikCDForm::ChosenRequest() const {
    RipRequest request;
    const int chosen = DriveBox->currentIndex();
    if (chosen >= 0 && chosen < static_cast<int>(drives_.Drives.size()))
        request.DevicePath = drives_.Drives[static_cast<size_t>(chosen)].DevicePath;
    request.UseSpti = drives_.UseSpti;
    request.Track = STrackEd->value();
    request.Karaoke = KaraokeCheck->isChecked();
    return request;
}

void TMusikCDForm::SaveTrackClick() {
    ++ripNumber_;
    auto outcome = std::make_shared<RipOutcome>();
    ripsAlive_->fetch_add(1);
    // The work owns what it touches: a rip given up may outlive the dialog.
    job_.Start(
        [outcome, transport = transport_, alive = ripsAlive_, request = ChosenRequest(),
         previous = Tracks, most = MostSoundBytes, dialog = this, translation = &translation_](JobContext& job) {
            PostingRipListener listener(job, dialog, translation);
            try {
                outcome->Result = RipTrack(*transport, request, previous, listener, most);
            } catch (const std::exception& e) {
                outcome->Failure = e.what();  // e.g. no memory for the sound
            }
            alive->fetch_sub(1);
        },
        [this, outcome] { RipEnded(std::move(*outcome)); });
}

void TMusikCDForm::RipEnded(RipOutcome outcome) {
    if (!outcome.Failure.empty()) AppendLog(outcome.Failure);
    Tracks = outcome.Result.Tracks;
    if (!outcome.Result.Sound.empty()) sound_ = std::move(outcome.Result.Sound);
    limitReached_ = outcome.Result.LimitReached;
    OKBtn->setEnabled(true);
    accept();
}

std::vector<uint8_t> TMusikCDForm::TakeSound() { return std::exchange(sound_, {}); }

}  // namespace sonvira
