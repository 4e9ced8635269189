#pragma once
// The translation editor's grid: a table view over the translation table with in-place
// editing. A cell editor holds at most the field's 255 characters, and the editor can be
// committed on demand (before the window closes or a command runs). User-interface
// thread only.

#include <QTableView>

namespace sonvira {

class TDBGrid : public QTableView {
    Q_OBJECT
public:
    explicit TDBGrid(QWidget* parent = nullptr);

    // Hands the text of an open cell editor to the model and closes the editor.
    void CommitEdit();
    void SetColumnWidths(int width);
};

}  // namespace sonvira
