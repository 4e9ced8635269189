#pragma once
// Answers the main window's next save dialog as a user would: the file type's filter
// chosen (1 MP3, 2 WAV) and the name typed, then accepted; the question whether to replace
// an existing file is answered yes.

#include <QAbstractButton>
#include <QLineEdit>
#include <QMessageBox>
#include <QMetaObject>
#include <QTimer>
#include <string>

#include "ControlByName.h"
#include "TOpenDialog.h"

namespace sonvira::test {

inline void AnswerSaveDialog(QObject& window, const std::string& name, int fileType) {
    QTimer::singleShot(0, &window, [&window, name, fileType] {
        TOpenDialog* dialog = Control<TOpenDialog>(window, "SaveDialog1");
        dialog->selectNameFilter(dialog->nameFilters().at(fileType - 1));
        // As typed by the user (selectFile leaves a focused name field alone).
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(name));
        QTimer::singleShot(0, dialog, [dialog] {
            if (auto* question = dialog->findChild<QMessageBox*>()) question->button(QMessageBox::Yes)->click();
        });
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

}  // namespace sonvira::test
