#include "TranslationTableModel.h"

#include "TranslationRecordSet.h"
#include "Win1252.h"

namespace sonvira {

TranslationTableModel::TranslationTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void TranslationTableModel::SetRecordSet(TranslationRecordSet* records) {
    beginResetModel();
    records_ = records;
    shownRows_ = records_ ? records_->RowCount() : 0;
    shownColumns_ = records_ ? records_->FieldCount() : 0;
    endResetModel();
}

void TranslationTableModel::RecordsChanged() {
    if (!records_ || records_->RowCount() != shownRows_ || records_->FieldCount() != shownColumns_) {
        SetRecordSet(records_);
        return;
    }
    if (shownRows_ > 0 && shownColumns_ > 0) emit dataChanged(index(0, 0), index(shownRows_ - 1, shownColumns_ - 1));
    if (shownRows_ > 0) emit headerDataChanged(Qt::Vertical, 0, shownRows_ - 1);
}

int TranslationTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : shownRows_; }

int TranslationTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shownColumns_;
}

QVariant TranslationTableModel::data(const QModelIndex& index, int role) const {
    if (!records_ || !index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    return QString::fromStdString(Win1252ToUtf8(records_->Value(index.row(), index.column())));
}

// Columns are titled by their field names; the current row is marked as the record
// navigator's state: browsing, editing or inserting.
QVariant TranslationTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || !records_) return {};
    if (orientation == Qt::Horizontal) return QString::fromStdString(records_->FieldName(section));
    if (section != records_->CurrentRow()) return QString();
    switch (records_->State()) {
        case RecordSetState::Browse: return QStringLiteral("\u25B6");
        case RecordSetState::Edit: return QStringLiteral("I");
        case RecordSetState::Insert: return QStringLiteral("*");
    }
    return {};
}

Qt::ItemFlags TranslationTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (records_ && records_->CanModify()) flags |= Qt::ItemIsEditable;
    return flags;
}

bool TranslationTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!records_ || !index.isValid() || role != Qt::EditRole) return false;
    const int rowsBefore = records_->RowCount();
    if (!records_->MoveTo(index.row()) ||
        !records_->SetField(index.column(), Utf8ToWin1252(value.toString().toStdString()))) {
        emit EditRefused();
        return false;
    }
    // Moving may have dropped an untouched inserted row: the view then starts afresh.
    if (records_->RowCount() != rowsBefore) RecordsChanged();
    else emit dataChanged(index, index);
    emit headerDataChanged(Qt::Vertical, 0, shownRows_ - 1);
    return true;
}

}  // namespace sonvira
