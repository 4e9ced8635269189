#include "TOpenDialog.h"

namespace sonvira {

TOpenDialog::TOpenDialog(QWidget* parent) : QFileDialog(parent) {
    setObjectName("OpenDialog1");
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::ExistingFile);
    setAcceptMode(QFileDialog::AcceptOpen);
}

void TOpenDialog::SetFilterText(const QString& filter) {
    filterText_ = filter;
    ShowFilters();
}

void TOpenDialog::SetOuterFilters(const QString& first, const QString& last) {
    firstFilter_ = first;
    lastFilter_ = last;
    ShowFilters();
}

void TOpenDialog::ShowFilters() {
    setNameFilters(NameFilters(firstFilter_) + NameFilters(filterText_) + NameFilters(lastFilter_));
}

QStringList TOpenDialog::NameFilters(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(';', Qt::SkipEmptyParts)) {
            patterns << p.toUpper();
            if (p.toLower() != p.toUpper()) patterns << p.toLower();
        }
        result << parts[i] + " (" + patterns.join(' ') + ")";
    }
    return result;
}

}  // namespace sonvira
