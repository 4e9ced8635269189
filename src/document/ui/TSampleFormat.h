#pragma once
// The dialog "Sampleformat ändern": the target rate, channel count and width for the
// sample format conversion. Created once by the main window and shown modally.

#include <QDialog>

#include "FormatConversion.h"

class QCheckBox;
class QSpinBox;

namespace sonvira {

class AudioDocument;
class TBitBtnXP;

class TSampleFormat : public QDialog {
    Q_OBJECT
public:
    explicit TSampleFormat(QWidget* parent = nullptr);

    // Sets the check boxes and the rate field from the document's format (the rate is
    // limited to the field's range 1 … 200000). Window thread.
    void PresetFrom(const AudioDocument& doc);

    // The format the controls show: rate from SamplesEd, flags from the check boxes.
    SampleFormat Target() const;

    QCheckBox* stereocheck;
    QCheckBox* bit16check;
    QSpinBox* SamplesEd;
    TBitBtnXP* OKBtn;
    TBitBtnXP* CancelBtn;

private:
    TBitBtnXP* AddRateButton(int rate);
};

}  // namespace sonvira
