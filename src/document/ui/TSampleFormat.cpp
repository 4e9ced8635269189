#include "TSampleFormat.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include "AudioDocument.h"
#include "TBitBtnXP.h"

namespace sonvira {

TSampleFormat::TSampleFormat(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Sampleformat ändern"));
    setAccessibleName(windowTitle());

    stereocheck = new QCheckBox(QStringLiteral("Stereo (ansonsten Mono)"), this);
    stereocheck->setAccessibleName(stereocheck->text());
    bit16check = new QCheckBox(QStringLiteral("16 Bit Samples (ansonsten 8 Bit)"), this);
    bit16check->setAccessibleName(bit16check->text());

    auto* samplesLabel = new QLabel(QStringLiteral("Samples pro Sekunde:"), this);
    SamplesEd = new QSpinBox(this);
    SamplesEd->setRange(1, 200000);
    SamplesEd->setValue(44100);
    SamplesEd->setAccessibleName(samplesLabel->text());
    samplesLabel->setBuddy(SamplesEd);

    auto* rates = new QGridLayout;
    const int presets[] = {8000, 11025, 22050, 44100};
    for (int k = 0; k < 4; ++k) rates->addWidget(AddRateButton(presets[k]), k / 2, k % 2);

    OKBtn = new TBitBtnXP(TBitBtnXP::Kind::OK, QStringLiteral("OK"), this);
    CancelBtn = new TBitBtnXP(TBitBtnXP::Kind::Cancel, QStringLiteral("Abbrechen"), this);

    auto* rateRow = new QHBoxLayout;
    rateRow->addWidget(samplesLabel);
    rateRow->addWidget(SamplesEd);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(stereocheck);
    layout->addWidget(bit16check);
    layout->addLayout(rateRow);
    layout->addLayout(rates);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);  // a fixed dialog border
}

TBitBtnXP* TSampleFormat::AddRateButton(int rate) {
    auto* button = new TBitBtnXP(TBitBtnXP::Kind::Custom,
                                 QStringLiteral("->%1 Hz").arg(rate), this);
    connect(button, &QPushButton::clicked, this, [this, rate] { SamplesEd->setValue(rate); });
    return button;
}

void TSampleFormat::PresetFrom(const AudioDocument& doc) {
    stereocheck->setChecked(doc.IsStereo);
    bit16check->setChecked(doc.Is16Bit);
    SamplesEd->setValue(doc.SampleRate.load());  // QSpinBox limits it to its range
}

SampleFormat TSampleFormat::Target() const {
    return {SamplesEd->value(), stereocheck->isChecked(), bit16check->isChecked()};
}

}  // namespace sonvira
