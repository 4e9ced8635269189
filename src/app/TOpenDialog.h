#pragma once
// The open dialog, a child of the main window so that the translation walk reaches its
// filter text. The filter is kept in the program's own form "description|*.A;*.B"
// (the description is what gets translated) and turned into the dialog's name filter,
// matching the extensions in upper and lower case. Entries whose patterns are too many for
// one text of the translation table come before and after it, already translated.

#include <QFileDialog>

namespace sonvira {

class TOpenDialog : public QFileDialog {
    Q_OBJECT
    Q_PROPERTY(QString filterText READ FilterText WRITE SetFilterText)
public:
    explicit TOpenDialog(QWidget* parent);

    void SetFilterText(const QString& filter);
    QString FilterText() const { return filterText_; }
    // Entries in the same form shown before and after those of the filter text.
    void SetOuterFilters(const QString& first, const QString& last);

    // "WAV und MP3-Dateien|*.WAV;*.MP3" → "WAV und MP3-Dateien (*.WAV *.wav *.MP3 *.mp3)"
    static QStringList NameFilters(const QString& filter);

private:
    void ShowFilters();

    QString filterText_;
    QString firstFilter_;
    QString lastFilter_;
};

}  // namespace sonvira
