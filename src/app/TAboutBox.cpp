#include "TAboutBox.h"

#include <QDate>
#include <QDesktopServices>
#include <QUrl>
#include <QVBoxLayout>

#include "KeepsItsTexts.h"
#include "TBitBtnXP.h"

namespace sonvira {

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName("AboutBox");
    setWindowTitle("Info");
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    ProductName = new QLabel("Orlanda Sonvira", this);
    ProductName->setObjectName("ProductName");
    QFont big = ProductName->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    ProductName->setFont(big);
    Version = new QLabel("Version 1.0", this);
    Version->setObjectName("Version");
    Copyright = new QLabel(QString("Copyright © %1 Orlanda").arg(QDate::currentDate().year()), this);
    Copyright->setObjectName("Copyright");
    MarkKeepsItsTexts(Copyright);  // a name and a year, the same in every language
    auto* web = new TBitBtnXP(TBitBtnXP::Kind::Custom, QString(), this);
    web->setObjectName("WebBtn");
    webButton_ = web;
    connect(web, &QPushButton::clicked, this,
            [this] { QDesktopServices::openUrl(QUrl(webAddress_)); });
    auto* ok = new TBitBtnXP(TBitBtnXP::Kind::OK, "OK", this);
    ok->setObjectName("OKButton");
    for (QWidget* w : {static_cast<QWidget*>(ProductName), static_cast<QWidget*>(Version),
                       static_cast<QWidget*>(Copyright), static_cast<QWidget*>(web),
                       static_cast<QWidget*>(ok)})
        layout->addWidget(w, 0, Qt::AlignHCenter);
}

void TAboutBox::SetWebAddress(const QString& address) {
    webAddress_ = address;
    webButton_->setText(address);
    webButton_->setAccessibleName(address);
}

}  // namespace sonvira
