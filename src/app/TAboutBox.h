#pragma once
// The information window "Info": the program's name and version with the current year,
// and a button that opens the maker's web address in the browser.

#include <QDialog>
#include <QLabel>
#include <QPushButton>

namespace sonvira {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent);

    // The maker's web address (message 23 of the catalogue), shown on the button that
    // opens it in the browser.
    void SetWebAddress(const QString& address);
    QString WebAddress() const { return webAddress_; }

    QLabel* ProductName = nullptr;
    QLabel* Version = nullptr;
    QLabel* Copyright = nullptr;

private:
    QString webAddress_;
    QPushButton* webButton_ = nullptr;
};

}  // namespace sonvira
