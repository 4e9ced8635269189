#pragma once
// The translation table as the editor's grid shows it: one row per record of the record
// set, one column per field, cells edited in place. Texts are UTF-8 here and go into the
// table as Windows-1252. User-interface thread only.

#include <QAbstractTableModel>

namespace sonvira {

class TranslationRecordSet;

class TranslationTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TranslationTableModel(QObject* parent = nullptr);

    // The record set to show (owned by the caller); nullptr shows nothing.
    void SetRecordSet(TranslationRecordSet* records);
    // Call after the record set changed by other means than setData: rows that came or
    // went reset the view, otherwise the cells and the row marks are repainted.
    void RecordsChanged();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

signals:
    // A cell edit in the grid could not be taken (the table refused the move or the change).
    void EditRefused();

private:
    TranslationRecordSet* records_ = nullptr;
    int shownRows_ = 0;
    int shownColumns_ = 0;
};

}  // namespace sonvira
