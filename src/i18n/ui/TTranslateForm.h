#pragma once
// The translation editor: the records of translate.dbf in a grid with a record navigator,
// an edit box for the German text of the current record and a search over all columns.
// It works straight on the table that Translate uses, so a translation typed here reaches
// the next message at once (and window texts at the next start). A record is written when
// it is posted: by the navigator, by leaving a changed row, by "Zurück..." or by closing
// the window in any way. Closing also switches the search off.
//
// A table that can only be read is shown but not changed, and the status bar says why.
// User-interface thread only.

#include <QDialog>

#include <functional>
#include <memory>

class QLineEdit;
class QModelIndex;
class QPushButton;
class QStatusBar;

namespace sonvira {

class TDBGrid;
class TDBNavigator;
class TranslationContext;
class TranslationRecordSet;
class TranslationTableModel;
enum class NavigateBtn;

class TTranslateForm : public QDialog {
    Q_OBJECT
public:
    TTranslateForm(TranslationContext& translation, QWidget* parent);
    ~TTranslateForm() override;

    // Reads the table afresh from its first record; called before each showing.
    void Prepare();
    void SetColumnWidths(int width);

    void FilterBtnClick();
    void BackBtnClick();
    void NavigatorClick(NavigateBtn which);

    // Asks before a record is deleted; a test answers it.
    std::function<bool(const QString& text)> ConfirmDelete;

    const TranslationRecordSet& Records() const { return *records_; }

protected:
    // Every way of closing ends here: close box, Escape, "Zurück...".
    void done(int result) override;
    void showEvent(QShowEvent* event) override;

private:
    void CreateControls();
    void GridCurrentChanged(const QModelIndex& current);
    void DBEdit1Edited(const QString& text);
    void SyncView();
    void UpdateNavigator();
    void ShowTableState();
    void ShowRefusal();
    QString Tr(const char* german) const;

    TranslationContext& translation_;
    std::unique_ptr<TranslationRecordSet> records_;
    TranslationTableModel* model_ = nullptr;
    TDBNavigator* DBNavigator1 = nullptr;
    QPushButton* BackBtn = nullptr;
    QLineEdit* DBEdit1 = nullptr;
    QLineEdit* FilterEdit = nullptr;
    QPushButton* FilterBtn = nullptr;
    TDBGrid* DBGrid1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    bool syncing_ = false;
};

}  // namespace sonvira
