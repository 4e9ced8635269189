#include "TKeysForm.h"

#include <QHeaderView>
#include <QKeySequence>
#include <QStringList>
#include <QVBoxLayout>

#include "ProgramKeys.h"
#include "TBitBtnXP.h"

namespace sonvira {
namespace {

// A key sequence as the desktop names it; a lone modifier ("Alt") is no sequence and
// keeps its name.
QString ShownKeys(const char* portable) {
    QStringList shown;
    for (const QString& one : QString::fromLatin1(portable).split(QStringLiteral(", "))) {
        const QKeySequence sequence = QKeySequence::fromString(one, QKeySequence::PortableText);
        const bool known = !sequence.isEmpty() && sequence[0].key() != Qt::Key_unknown;
        shown << (known ? sequence.toString(QKeySequence::NativeText) : one);
    }
    return shown.join(QStringLiteral(", "));
}

}  // namespace

TKeysForm::TKeysForm(QWidget* parent) : QDialog(parent) {
    setObjectName("KeysForm");
    setWindowTitle(QString::fromUtf8("Tastenkürzel"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    List = new QTreeWidget(this);
    List->setObjectName("KeyList");
    List->setColumnCount(2);
    List->setHeaderLabels({QStringLiteral("Tasten"), QStringLiteral("Wirkung")});
    List->setRootIsDecorated(false);
    List->setWordWrap(true);
    List->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    List->header()->setStretchLastSection(true);
    layout->addWidget(List);
    auto* ok = new TBitBtnXP(TBitBtnXP::Kind::OK, "OK", this);
    ok->setObjectName("OKButton");
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    Fill([](const char* german) { return QString::fromUtf8(german); });
    resize(780, 300);
}

void TKeysForm::Fill(const std::function<QString(const char* german)>& translate) {
    List->clear();
    for (const ProgramKey& key : ProgramKeys())
        List->addTopLevelItem(new QTreeWidgetItem(QStringList{ShownKeys(key.keys), translate(key.does)}));
}

}  // namespace sonvira
