#include "TEchoForm.h"

#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "TBitBtnXP.h"

namespace sonvira {

TEchoForm::TEchoForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Effekt"));
    setAccessibleName(windowTitle());

    auto* spanLabel = new QLabel(QStringLiteral("Zeitspanne:"), this);
    ZeitEd = new QDoubleSpinBox(this);
    ZeitEd->setDecimals(6);  // the shortest span, 0.000001 s, must be enterable
    ZeitEd->setRange(0.000001, 100);
    ZeitEd->setSingleStep(0.1);
    ZeitEd->setValue(0.5);
    ZeitEd->setAccessibleName(spanLabel->text());
    spanLabel->setBuddy(ZeitEd);
    auto* unitLabel = new QLabel(QStringLiteral("Sekunden"), this);

    OKBtn = new TBitBtnXP(TBitBtnXP::Kind::OK, QStringLiteral("OK"), this);
    CancelBtn = new TBitBtnXP(TBitBtnXP::Kind::Cancel, QStringLiteral("Abbrechen"), this);

    auto* spanRow = new QHBoxLayout;
    spanRow->addWidget(spanLabel);
    spanRow->addWidget(ZeitEd);
    spanRow->addWidget(unitLabel);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(spanRow);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TEchoForm::SetSeconds(double seconds) { ZeitEd->setValue(seconds); }

double TEchoForm::Seconds() const { return ZeitEd->value(); }

}  // namespace sonvira
