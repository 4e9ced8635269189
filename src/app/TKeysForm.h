#pragma once
// "Tastenkürzel" under "Hilfe": every key the program answers to and what it does, the
// keys in the desktop's own words ("Strg" on a German desktop).

#include <QDialog>
#include <QTreeWidget>
#include <functional>

namespace sonvira {

class TKeysForm : public QDialog {
    Q_OBJECT
public:
    explicit TKeysForm(QWidget* parent);

    // The rows in the language in use; the caption and the column titles are translated
    // with the other windows.
    void Fill(const std::function<QString(const char* german)>& translate);

    QTreeWidget* List = nullptr;
};

}  // namespace sonvira
