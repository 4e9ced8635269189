#include "TMP3ConfigForm.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "TBitBtnXP.h"

namespace sonvira {
namespace {

QComboBox* MakeList(QWidget* parent, const QStringList& entries, QLabel* label) {
    auto* list = new QComboBox(parent);
    list->addItems(entries);
    list->setAccessibleName(label->text());
    label->setBuddy(list);
    return list;
}

}  // namespace

TMP3ConfigForm::TMP3ConfigForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("MP3 Ausgabe konfigurieren"));
    setAccessibleName(windowTitle());

    GroupBox1 = new QGroupBox(QStringLiteral("MP3 Ausgabe"), this);
    GroupBox1->setAccessibleName(GroupBox1->title());
    auto* rateLabel = new QLabel(QStringLiteral("Samplefrequenz:"), GroupBox1);
    auto* rateUnit = new QLabel(QStringLiteral("Hz"), GroupBox1);  // the list counts hertz
    auto* bitLabel = new QLabel(QStringLiteral("Bitrate:"), GroupBox1);
    auto* bitUnit = new QLabel(QStringLiteral("kBit/Sekunde"), GroupBox1);
    mp3format = MakeList(GroupBox1,
                         {"48000", "44100", "32000", "24000", "22050", "16000", "11025"}, rateLabel);
    BitRate = MakeList(GroupBox1,
                       {"8", "16", "24", "32", "40", "48", "56", "64", "80", "96", "112", "128",
                        "144", "160"},
                       bitLabel);

    auto* grid = new QGridLayout(GroupBox1);
    grid->addWidget(rateLabel, 0, 0);
    grid->addWidget(mp3format, 0, 1);
    grid->addWidget(rateUnit, 0, 2);
    grid->addWidget(bitLabel, 1, 0);
    grid->addWidget(BitRate, 1, 1);
    grid->addWidget(bitUnit, 1, 2);

    OKBtn = new TBitBtnXP(TBitBtnXP::Kind::OK, QStringLiteral("OK"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);  // a fixed dialog border
}

void TMP3ConfigForm::SetDefaults() {
    mp3format->setCurrentIndex(1);
    BitRate->setCurrentIndex(11);
}

Mp3Settings TMP3ConfigForm::Settings() const {
    return {mp3format->currentText().toInt(), BitRate->currentText().toInt()};
}

}  // namespace sonvira
