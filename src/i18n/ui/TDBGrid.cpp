#include "TDBGrid.h"

#include "KeepsItsTexts.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QStyledItemDelegate>

namespace sonvira {
namespace {

// Windows-1252 has one byte per character, so the field's bytes are its characters.
class FieldDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor)) line->setMaxLength(255);
        return editor;
    }
};

}  // namespace

TDBGrid::TDBGrid(QWidget* parent) : QTableView(parent) {
    setObjectName("DBGrid1");
    MarkKeepsItsTexts(this);
    setItemDelegate(new FieldDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setWordWrap(false);
}

void TDBGrid::CommitEdit() {
    if (state() != QAbstractItemView::EditingState) return;
    // The delegate's editors sit on the viewport; the view ignores one it no longer knows.
    for (QLineEdit* editor : viewport()->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly)) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void TDBGrid::SetColumnWidths(int width) {
    horizontalHeader()->setDefaultSectionSize(width);
    for (int c = 0; model() && c < model()->columnCount(); ++c) setColumnWidth(c, width);
}

}  // namespace sonvira
