#include "TranslateWindows.h"

#include "KeepsItsTexts.h"
#include "TDynaArray.h"
#include "TranslationContext.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMetaProperty>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSet>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeWidget>

#include <functional>

// Which texts each kind of object gives to the table. The first matching row applies;
// a row also matches classes derived from it.
//
//  | Kind of control or dialog             | Qt class here                        | Texts                         |
//  |---------------------------------------|--------------------------------------|-------------------------------|
//  | open/save dialog (checked first: in   | QFileDialog                          | filter, as one text           |
//  |   Qt it derives from the window kind) |                                      |                               |
//  | label, check box, radio button        | QLabel, QCheckBox, QRadioButton      | caption                       |
//  | tab sheet                             | QTabWidget                           | each tab's caption            |
//  | button, speed button (TBitBtnXP too)  | QAbstractButton                      | caption, then hint (tool tip) |
//  |   tool button showing an action       | QToolButton with a default action    | nothing: the action has them  |
//  | group box                             | QGroupBox                            | caption, then hint            |
//  | menu item                             | QAction                              | caption, then hint (status    |
//  |                                       |                                      |   tip, shown in the status bar)|
//  | spin edit                             | QAbstractSpinBox                     | hint                          |
//  | combo box                             | QComboBox                            | entries, selection kept       |
//  | string grid                           | QTableWidget                         | title row (horizontal header) |
//  | list view                             | QTreeWidget                          | column captions               |
//  | memo                                  | QPlainTextEdit                       | each line                     |
//  | edit                                  | QLineEdit                            | text                          |
//  | form                                  | any other window but a menu popup    | caption (window title)        |
//
// Every widget's accessible name goes through the table as well, also inside the
// controls bound to the table.
//
// Everything else keeps its texts (panels, status bars, data views, timers, layouts), and
// so do the controls bound to the translation table (KeepsItsTexts.h) with all inside them.

namespace sonvira {
namespace {

class WindowWalk {
public:
    WindowWalk(TranslationContext& translation, const QList<QWidget*>* windows)
        : translation_(translation), windows_(windows) {}

    void Run(QObject* root);

private:
    QString T(const QString& text);
    void Set(const QString& text, const std::function<void(const QString&)>& setter);
    QList<QObject*> Owned(QObject* owner) const;
    void TranslateTexts(QObject* object);
    void TranslateWidget(QWidget* widget);
    void TranslateAccessibleName(QWidget* widget);
    void TranslateFileFilter(QFileDialog* dialog);
    void TranslateCombo(QComboBox* combo);
    void TranslateMemo(QPlainTextEdit* memo);

    TranslationContext& translation_;
    const QList<QWidget*>* windows_;  // the application's windows when walking from it
    QSet<QObject*> visited_;
};

QString WindowWalk::T(const QString& text) {
    if (text.isEmpty()) return text;
    return QString::fromStdString(translation_.Translate(text.toStdString()));
}

// Setting only a changed text spares edits their cursor and widgets a relayout.
void WindowWalk::Set(const QString& text, const std::function<void(const QString&)>& setter) {
    const QString translated = T(text);
    if (translated != text) setter(translated);
}

// Qt builds many widgets out of widgets of its own; those are not the program's texts.
bool IsQtInternal(const QObject* object) { return object->objectName().startsWith(QLatin1String("qt_")); }

// Widgets whose children are their own machinery: the walk does not go below them.
bool KeepsItsInside(const QObject* object) {
    return KeepsItsTexts(object) || qobject_cast<const QFileDialog*>(object) || qobject_cast<const QAbstractSpinBox*>(object) ||
           qobject_cast<const QComboBox*>(object) || qobject_cast<const QAbstractItemView*>(object) ||
           qobject_cast<const QPlainTextEdit*>(object) || qobject_cast<const QTextEdit*>(object) ||
           qobject_cast<const QLineEdit*>(object) || qobject_cast<const QStatusBar*>(object) ||
           qobject_cast<const QTabBar*>(object) || qobject_cast<const QAbstractSlider*>(object);
}

QList<QObject*> WindowWalk::Owned(QObject* owner) const {
    QList<QObject*> owned;
    if (!owner) {  // the application: its windows
        for (QWidget* w : *windows_) owned.append(w);
        return owned;
    }
    if (KeepsItsInside(owner)) return owned;
    if (auto* tabs = qobject_cast<QTabWidget*>(owner)) {
        // The pages sit inside Qt's own stack; they are the tab widget's components.
        for (int i = 0; i < tabs->count(); ++i) owned.append(tabs->widget(i));
        return owned;
    }
    for (QObject* child : owner->children())
        if (!IsQtInternal(child)) owned.append(child);
    return owned;
}

void WindowWalk::Run(QObject* root) {
    if (root && root->isWidgetType() && static_cast<QWidget*>(root)->isWindow()) TranslateTexts(root);
    if (root) visited_.insert(root);

    QObject** cursor = nullptr;
    TDynaArray queue(static_cast<int32_t>(sizeof(QObject*)), &cursor);
    TDynaArray found(static_cast<int32_t>(sizeof(QObject*)), &cursor);
    if (!queue.Append()) return;
    *cursor = root;
    while (queue.Count() > 0) {
        found.Clear();
        QObject* owner = *static_cast<QObject**>(queue.Get(0));
        const QList<QObject*> owned = Owned(owner);
        for (auto it = owned.rbegin(); it != owned.rend(); ++it) {
            if (visited_.contains(*it)) continue;  // a window parented to another window
            visited_.insert(*it);
            if (!found.Append()) return;  // out of memory, already reported
            *cursor = *it;
            TranslateTexts(*it);
        }
        queue.Delete(0);
        for (uint32_t i = 0; i < found.Count(); ++i) {
            QObject* next = *static_cast<QObject**>(found.Get(static_cast<int32_t>(i)));
            if (!queue.Append()) return;
            *cursor = next;
        }
    }
}

void WindowWalk::TranslateTexts(QObject* object) {
    if (auto* action = qobject_cast<QAction*>(object)) {
        Set(action->text(), [action](const QString& t) { action->setText(t); });
        Set(action->statusTip(), [action](const QString& t) { action->setStatusTip(t); });
    } else if (object->isWidgetType()) {
        TranslateWidget(static_cast<QWidget*>(object));
    }
}

// The name a screen reader reads: set from a caption or a word of the program's own, it
// follows the language as the visible texts do.
void WindowWalk::TranslateAccessibleName(QWidget* w) {
    Set(w->accessibleName(), [w](const QString& t) { w->setAccessibleName(t); });
}

void WindowWalk::TranslateWidget(QWidget* w) {
    TranslateAccessibleName(w);
    if (KeepsItsTexts(w)) {
        // Shows the table's contents; only the names of its parts are the program's.
        for (QWidget* part : w->findChildren<QWidget*>()) TranslateAccessibleName(part);
        return;
    }
    const auto hint = [this, w] { Set(w->toolTip(), [w](const QString& t) { w->setToolTip(t); }); };
    if (auto* dialog = qobject_cast<QFileDialog*>(w)) {
        TranslateFileFilter(dialog);
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        Set(label->text(), [label](const QString& t) { label->setText(t); });
    } else if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
        auto* button = static_cast<QAbstractButton*>(w);
        Set(button->text(), [button](const QString& t) { button->setText(t); });
    } else if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
        for (int i = 0; i < tabs->count(); ++i)
            Set(tabs->tabText(i), [tabs, i](const QString& t) { tabs->setTabText(i, t); });
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        auto* tool = qobject_cast<QToolButton*>(w);
        if (tool && tool->defaultAction()) return;
        Set(button->text(), [button](const QString& t) { button->setText(t); });
        hint();
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
        Set(group->title(), [group](const QString& t) { group->setTitle(t); });
        hint();
    } else if (qobject_cast<QAbstractSpinBox*>(w)) {
        hint();
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        TranslateCombo(combo);
    } else if (auto* grid = qobject_cast<QTableWidget*>(w)) {
        for (int c = 0; c < grid->columnCount(); ++c)
            if (QTableWidgetItem* item = grid->horizontalHeaderItem(c))
                Set(item->text(), [item](const QString& t) { item->setText(t); });
    } else if (auto* list = qobject_cast<QTreeWidget*>(w)) {
        QTreeWidgetItem* header = list->headerItem();
        for (int c = 0; header && c < list->columnCount(); ++c)
            Set(header->text(c), [header, c](const QString& t) { header->setText(c, t); });
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(w)) {
        TranslateMemo(memo);
    } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        Set(edit->text(), [edit](const QString& t) { edit->setText(t); });
    } else if (w->isWindow() && !qobject_cast<QMenu*>(w)) {
        Set(w->windowTitle(), [w](const QString& t) { w->setWindowTitle(t); });
    }
}

// A dialog class that keeps its filter in the program's own "description|*.A;*.B" form
// offers it as the property "filterText"; otherwise Qt's name filters are the text.
void WindowWalk::TranslateFileFilter(QFileDialog* dialog) {
    const int index = dialog->metaObject()->indexOfProperty("filterText");
    if (index >= 0 && dialog->metaObject()->property(index).isWritable()) {
        Set(dialog->property("filterText").toString(),
            [dialog](const QString& t) { dialog->setProperty("filterText", t); });
        return;
    }
    Set(dialog->nameFilters().join(QStringLiteral(";;")), [dialog](const QString& t) { dialog->setNameFilter(t); });
}

void WindowWalk::TranslateCombo(QComboBox* combo) {
    for (int i = 0; i < combo->count(); ++i) {
        const int selected = combo->currentIndex();
        Set(combo->itemText(i), [combo, i](const QString& t) { combo->setItemText(i, t); });
        combo->setCurrentIndex(selected);
    }
}

// Line by line, so that every line is a text of its own in the table.
void WindowWalk::TranslateMemo(QPlainTextEdit* memo) {
    QStringList lines = memo->toPlainText().split(QLatin1Char('\n'));
    for (QString& line : lines) line = T(line);
    const QString joined = lines.join(QLatin1Char('\n'));
    if (joined != memo->toPlainText()) memo->setPlainText(joined);
    memo->viewport()->update();
}

}  // namespace

void TranslateWindows(const QList<QWidget*>& windows, TranslationContext& translation) {
    WindowWalk(translation, &windows).Run(nullptr);
}

void TranslateWindows(QObject* root, TranslationContext& translation) {
    if (root) WindowWalk(translation, nullptr).Run(root);
}

}  // namespace sonvira
