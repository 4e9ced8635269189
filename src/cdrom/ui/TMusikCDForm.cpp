#include "TMusikCDForm.h"

#include <QCoreApplication>
#include <utility>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "TBitBtnXP.h"

namespace sonvira {

TMusikCDForm::TMusikCDForm(TranslationContext& translation, CdTransport& transport,
                           QWidget* parent)
    : QDialog(parent), translation_(translation), transport_(transport) {
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
    OKBtn->setEnabled(false);
    SaveTrackClick();
    OKBtn->setEnabled(true);
    accept();
}

void TMusikCDForm::BitBtnXP2Click() {
    CancelRip = true;
    if (!ripping_) QDialog::reject();
}

void TMusikCDForm::reject() {
    if (ripping_)
        CancelRip = true;
    else
        QDialog::reject();
}

void TMusikCDForm::SaveTrackClick() {
    CancelRip = false;
    RipRequest request;
    const int chosen = DriveBox->currentIndex();
    if (chosen >= 0 && chosen < static_cast<int>(drives_.Drives.size()))
        request.DevicePath = drives_.Drives[static_cast<size_t>(chosen)].DevicePath;
    request.UseSpti = drives_.UseSpti;
    request.Track = STrackEd->value();
    request.Karaoke = KaraokeCheck->isChecked();
    ripping_ = true;
    RipResult result = RipTrack(transport_, request, Tracks, *this);
    ripping_ = false;
    Tracks = result.Tracks;
    if (!result.Sound.empty()) sound_ = std::move(result.Sound);
}

std::vector<uint8_t> TMusikCDForm::TakeSound() { return std::exchange(sound_, {}); }

void TMusikCDForm::ShowPosition(const std::string& text) { Label1->setText(QString::fromStdString(text)); }

bool TMusikCDForm::CancelRequested() {
    QCoreApplication::processEvents();
    return CancelRip;
}

}  // namespace sonvira
