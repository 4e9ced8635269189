#pragma once
// The information window "Info": the program's name and version with the current year,
// and a button that opens the maker's web address in the browser.

#include <QDialog>
#include <QLabel>

namespace sonvira {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent);

    static constexpr const char* kWebAddress = "https://www.orlanda.de/";
    QLabel* ProductName = nullptr;
    QLabel* Version = nullptr;
    QLabel* Copyright = nullptr;
};

}  // namespace sonvira
