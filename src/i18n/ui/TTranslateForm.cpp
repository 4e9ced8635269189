#include "TTranslateForm.h"

#include "KeepsItsTexts.h"
#include "TDBGrid.h"
#include "TDBNavigator.h"
#include "TranslationContext.h"
#include "TranslationRecordSet.h"
#include "TranslationTableModel.h"
#include "Win1252.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace sonvira {

TTranslateForm::TTranslateForm(TranslationContext& translation, QWidget* parent)
    : QDialog(parent), translation_(translation) {
    setObjectName("TranslateForm");
    setWindowTitle(QString::fromUtf8("Übersetzen"));
    resize(721, 489);
    CreateControls();
    ConfirmDelete = [this](const QString& text) {
        return QMessageBox::question(this, windowTitle(), text, QMessageBox::Ok | QMessageBox::Cancel) ==
               QMessageBox::Ok;
    };
    records_ = std::make_unique<TranslationRecordSet>(translation_.Table());
}

TTranslateForm::~TTranslateForm() { model_->SetRecordSet(nullptr); }

void TTranslateForm::CreateControls() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);

    auto* top = new QVBoxLayout;
    top->setContentsMargins(6, 6, 6, 0);
    auto* buttons = new QHBoxLayout;
    DBNavigator1 = new TDBNavigator(this);
    BackBtn = new QPushButton(QString::fromUtf8("Zurück..."), this);
    BackBtn->setObjectName("BackBtn");
    buttons->addWidget(DBNavigator1);
    buttons->addWidget(BackBtn);
    buttons->addStretch();
    top->addLayout(buttons);
    DBEdit1 = new QLineEdit(this);
    DBEdit1->setObjectName("DBEdit1");
    DBEdit1->setMaxLength(255);
    MarkKeepsItsTexts(DBEdit1);
    top->addWidget(DBEdit1);
    layout->addLayout(top);

    auto* search = new QHBoxLayout;
    search->setContentsMargins(6, 0, 6, 0);
    FilterEdit = new QLineEdit(this);
    FilterEdit->setObjectName("FilterEdit");
    FilterBtn = new QPushButton("Suchen", this);
    FilterBtn->setObjectName("FilterBtn");
    search->addWidget(FilterEdit, 1);
    search->addWidget(FilterBtn);
    layout->addLayout(search);

    DBGrid1 = new TDBGrid(this);
    model_ = new TranslationTableModel(this);
    DBGrid1->setModel(model_);
    layout->addWidget(DBGrid1, 1);
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    StatusBar1->setSizeGripEnabled(false);
    layout->addWidget(StatusBar1);

    connect(DBNavigator1, &TDBNavigator::Clicked, this, &TTranslateForm::NavigatorClick);
    connect(BackBtn, &QPushButton::clicked, this, &TTranslateForm::BackBtnClick);
    connect(FilterBtn, &QPushButton::clicked, this, &TTranslateForm::FilterBtnClick);
    connect(FilterEdit, &QLineEdit::returnPressed, this, &TTranslateForm::FilterBtnClick);
    connect(DBEdit1, &QLineEdit::textEdited, this, &TTranslateForm::DBEdit1Edited);
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { GridCurrentChanged(current); });
    connect(model_, &TranslationTableModel::EditRefused, this, &TTranslateForm::ShowRefusal);
    connect(model_, &QAbstractItemModel::dataChanged, this, [this] {
        if (!syncing_) SyncView();
    });
}

QString TTranslateForm::Tr(const char* german) const {
    return QString::fromStdString(translation_.Translate(german));
}

void TTranslateForm::Prepare() {
    model_->SetRecordSet(nullptr);
    records_ = std::make_unique<TranslationRecordSet>(translation_.Table());
    // The search field is read afresh for every record the filter tests.
    records_->SetSearchText([this] { return Utf8ToWin1252(FilterEdit->text().toStdString()); });
    model_->SetRecordSet(records_.get());
    ShowTableState();
    SyncView();
}

void TTranslateForm::SetColumnWidths(int width) { DBGrid1->SetColumnWidths(width); }

// Why nothing can be changed, when that is so; otherwise the status bar stays empty.
void TTranslateForm::ShowTableState() {
    const TDbfTable& table = translation_.Table();
    if (!table.Active())
        StatusBar1->showMessage(Tr("Die Übersetzungstabelle konnte nicht geöffnet werden. Es gibt nichts zu bearbeiten."));
    else if (table.Damaged())
        StatusBar1->showMessage(Tr("Die Übersetzungstabelle ist beschädigt und wird nur angezeigt, damit nichts "
                                   "verloren geht. Änderungen sind nicht möglich."));
    else if (table.ReadOnly())
        StatusBar1->showMessage(Tr("Die Übersetzungstabelle ist schreibgeschützt. Änderungen sind nicht möglich."));
    else
        StatusBar1->clearMessage();
}

// A change or a move the table refused: the typed text stays in the editor.
void TTranslateForm::ShowRefusal() {
    if (!records_->CanModify()) ShowTableState();
    else StatusBar1->showMessage(Tr("Der Datensatz konnte nicht gespeichert werden. Die Änderung ist noch nicht übernommen."));
    SyncView();
}

void TTranslateForm::SyncView() {
    syncing_ = true;
    model_->RecordsChanged();
    const int row = records_->CurrentRow();
    if (row >= 0) {
        const int column = std::max(DBGrid1->currentIndex().column(), 0);
        if (DBGrid1->currentIndex().row() != row) DBGrid1->setCurrentIndex(model_->index(row, column));
    }
    const QString german = QString::fromStdString(Win1252ToUtf8(records_->Value(row, 0)));
    if (DBEdit1->text() != german) DBEdit1->setText(german);
    DBEdit1->setReadOnly(!records_->CanModify() || row < 0);
    UpdateNavigator();
    syncing_ = false;
}

void TTranslateForm::UpdateNavigator() {
    const int row = records_->CurrentRow();
    const int last = records_->RowCount() - 1;
    const bool canModify = records_->CanModify();
    const bool editing = records_->State() != RecordSetState::Browse;
    const struct {
        NavigateBtn button;
        bool enabled;
    } states[] = {
        {NavigateBtn::First, row > 0},
        {NavigateBtn::Prior, row > 0},
        {NavigateBtn::Next, row >= 0 && row < last},
        {NavigateBtn::Last, row >= 0 && row < last},
        {NavigateBtn::Insert, canModify},
        {NavigateBtn::Delete, canModify && row >= 0},
        {NavigateBtn::Edit, canModify && row >= 0 && !editing},
        {NavigateBtn::Post, canModify && editing},
        {NavigateBtn::Cancel, canModify && editing},
        {NavigateBtn::Refresh, translation_.Table().Active()},
    };
    for (const auto& s : states) DBNavigator1->SetButtonEnabled(s.button, s.enabled);
}

void TTranslateForm::GridCurrentChanged(const QModelIndex& current) {
    if (syncing_ || !current.isValid() || current.row() == records_->CurrentRow()) return;
    if (!records_->MoveTo(current.row())) ShowRefusal();
    SyncView();
}

void TTranslateForm::DBEdit1Edited(const QString& text) {
    if (!records_->SetField(0, Utf8ToWin1252(text.toStdString()))) {
        ShowRefusal();
        return;
    }
    SyncView();
}

void TTranslateForm::NavigatorClick(NavigateBtn which) {
    DBGrid1->CommitEdit();
    bool done = true;
    switch (which) {
        case NavigateBtn::First: done = records_->First() || records_->RowCount() == 0; break;
        case NavigateBtn::Prior: records_->Prior(); break;
        case NavigateBtn::Next: records_->Next(); break;
        case NavigateBtn::Last: done = records_->Last() || records_->RowCount() == 0; break;
        case NavigateBtn::Insert: done = records_->Insert(); break;
        case NavigateBtn::Delete:
            if (records_->CurrentRow() >= 0 && ConfirmDelete(Tr("Datensatz löschen?"))) done = records_->Delete();
            break;
        case NavigateBtn::Edit: done = records_->Edit(); break;
        case NavigateBtn::Post: done = records_->Post(); break;
        case NavigateBtn::Cancel: records_->Cancel(); break;
        case NavigateBtn::Refresh: done = records_->Refresh(); break;
    }
    if (!done) ShowRefusal();
    SyncView();
}

void TTranslateForm::FilterBtnClick() {
    DBGrid1->CommitEdit();
    if (!records_->SetFiltered(!FilterEdit->text().isEmpty())) ShowRefusal();
    SyncView();
}

void TTranslateForm::BackBtnClick() { accept(); }

// Pending changes are posted and the search is switched off, whichever way the window
// closes. A change the table refuses keeps the window open with the reason shown; the
// navigator's cancel drops it.
void TTranslateForm::done(int result) {
    DBGrid1->CommitEdit();
    if (!records_->Post()) {
        ShowRefusal();
        return;
    }
    records_->SetFiltered(false);
    SyncView();
    QDialog::done(result);
}

void TTranslateForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (QScreen* s = screen()) move(s->availableGeometry().center() - frameGeometry().center() + pos());
    FilterEdit->setFocus(Qt::OtherFocusReason);  // most come to look something up
}

}  // namespace sonvira
