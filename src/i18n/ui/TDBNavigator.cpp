#include "TDBNavigator.h"

#include "KeepsItsTexts.h"

#include <QHBoxLayout>
#include <QToolButton>

namespace sonvira {
namespace {

struct ButtonLook {
    const char* objectName;
    const char* glyph;
    const char* accessibleName;  // for screen readers; the navigator shows no hints
};

constexpr ButtonLook kLooks[kNavigateButtons] = {
    {"nbFirst", "|\u25C0", "Erster Datensatz"},      {"nbPrior", "\u25C0", "Vorheriger Datensatz"},
    {"nbNext", "\u25B6", "N\u00E4chster Datensatz"},  {"nbLast", "\u25B6|", "Letzter Datensatz"},
    {"nbInsert", "+", "Datensatz einf\u00FCgen"},     {"nbDelete", "\u2212", "Datensatz l\u00F6schen"},
    {"nbEdit", "\u25B2", "Datensatz bearbeiten"},     {"nbPost", "\u2714", "Datensatz speichern"},
    {"nbCancel", "\u2718", "Bearbeitung abbrechen"},  {"nbRefresh", "\u21BB", "Daten aktualisieren"},
};

}  // namespace

TDBNavigator::TDBNavigator(QWidget* parent) : QWidget(parent) {
    setObjectName("DBNavigator1");
    MarkKeepsItsTexts(this);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    for (int i = 0; i < kNavigateButtons; ++i) {
        auto* button = new QToolButton(this);
        button->setObjectName(kLooks[i].objectName);
        button->setText(QString::fromUtf8(kLooks[i].glyph));
        button->setAccessibleName(QString::fromUtf8(kLooks[i].accessibleName));
        button->setAutoRaise(true);  // flat
        button->setFocusPolicy(Qt::StrongFocus);
        button->setMinimumSize(30, 25);
        row->addWidget(button);
        buttons_[static_cast<std::size_t>(i)] = button;
        connect(button, &QToolButton::clicked, this, [this, i] {
            Button(static_cast<NavigateBtn>(i))->setFocus(Qt::MouseFocusReason);
            emit Clicked(static_cast<NavigateBtn>(i));
        });
    }
}

void TDBNavigator::SetButtonEnabled(NavigateBtn which, bool enabled) { Button(which)->setEnabled(enabled); }

}  // namespace sonvira
