#pragma once
// The dialog "Effekt": asks for the time span of the echo, the fades and the crossfade.
// Created once by the main window and shown modally.

#include <QDialog>

class QDoubleSpinBox;

namespace sonvira {

class TBitBtnXP;

class TEchoForm : public QDialog {
    Q_OBJECT
public:
    explicit TEchoForm(QWidget* parent = nullptr);

    // The span field in seconds, 0.000001 … 100 (values outside are limited to it).
    // The command sets it before showing the dialog: 0.5 for the echo, 2 for the fades
    // and the crossfade. Window thread.
    void SetSeconds(double seconds);
    double Seconds() const;

    QDoubleSpinBox* ZeitEd;
    TBitBtnXP* OKBtn;
    TBitBtnXP* CancelBtn;
};

}  // namespace sonvira
