#include "TBitBtnXP.h"

#include <QDialog>
#include <QStyle>

namespace sonvira {

TBitBtnXP::TBitBtnXP(Kind kind, const QString& caption, QWidget* parent)
    : QPushButton(caption, parent), kind_(kind) {
    setAccessibleName(caption);
    switch (kind) {
        case Kind::OK:
            setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
            setDefault(true);
            connect(this, &QPushButton::clicked, this, [this] {
                if (auto* dialog = qobject_cast<QDialog*>(window())) dialog->accept();
            });
            break;
        case Kind::Cancel:
            setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
            connect(this, &QPushButton::clicked, this, [this] {
                if (auto* dialog = qobject_cast<QDialog*>(window())) dialog->reject();
            });
            break;
        case Kind::Custom:
            break;
    }
}

}  // namespace sonvira
