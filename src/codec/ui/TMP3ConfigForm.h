#pragma once
// The dialog "MP3 Ausgabe konfigurieren": the sample rate and bit rate MP3 export uses.
// Created once by the main window and shown modally; there is no cancel, the lists'
// selections are the settings as soon as they change. Window thread.

#include <QDialog>

#include "SaveAsMP3File.h"

class QComboBox;
class QGroupBox;

namespace sonvira {

class TBitBtnXP;

class TMP3ConfigForm : public QDialog {
    Q_OBJECT
public:
    explicit TMP3ConfigForm(QWidget* parent = nullptr);

    // Selects "44100" and "128", the settings at program start (first show of the main window).
    void SetDefaults();
    // The selected entries as numbers: rate in Hz, bit rate in kbit/s.
    Mp3Settings Settings() const;

    QGroupBox* GroupBox1;
    QComboBox* mp3format;
    QComboBox* BitRate;
    TBitBtnXP* OKBtn;
};

}  // namespace sonvira
