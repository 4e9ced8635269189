// Keys inside the window, whatever the desktop: space plays and pauses, Ctrl+O opens,
// Ctrl+S saves, Ctrl+Q ends, the menus' access keys, and the hot keys work as window shortcuts too (where global hot keys
// cannot be had, or another program holds them).
#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>

#include "AccessKeys.h"
#include "PlaybackHotKeys.h"
#include "TMainForm.h"
#include "TPaintBox.h"

namespace sonvira {
namespace {

bool IsTextField(const QWidget* w) {
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w);
}

// A button or check box the keyboard has moved to keeps space for itself (it presses it,
// as everywhere), as text fields keep it for typing: it claims the key before the
// window's space shortcut sees it.
class ButtonsKeepSpace : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ShortcutOverride) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier) event->accept();
        }
        return QObject::eventFilter(watched, event);
    }
};

void GiveAccessKeys(const QList<QAction*>& actions) {
    std::vector<std::string> captions;
    for (const QAction* action : actions) captions.push_back(action->isSeparator() ? "" : action->text().toStdString());
    const std::vector<std::string> marked = WithAccessKeys(captions);
    for (qsizetype i = 0; i < actions.size(); ++i)
        if (!actions[i]->isSeparator()) actions[i]->setText(QString::fromStdString(marked[size_t(i)]));
}

}  // namespace

void TMainForm::CreateWindowKeys() {
    MenuItem("ffnen1")->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    MenuItem("SpeichernalsWAVMP31")->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    MenuItem("Beenden1")->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    // Esc cancels a running import, as STOP does.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &TMainForm::CancelJob);

    auto* space = new QShortcut(QKeySequence(Qt::Key_Space), this);
    connect(space, &QShortcut::activated, this, &TMainForm::SpaceKeyPressed);
    const struct {
        QKeyCombination key;
        int id;
    } hotKeys[] = {
        {Qt::Key_F11, kHotKeyPlayPause},
        {Qt::CTRL | Qt::ALT | Qt::Key_F11, kHotKeySlower},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_F11, kHotKeySlower},
        {Qt::CTRL | Qt::ALT | Qt::Key_F12, kHotKeyFaster},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_F12, kHotKeyFaster},
    };
    for (const auto& [key, id] : hotKeys) {
        auto* shortcut = new QShortcut(QKeySequence(key), this);
        connect(shortcut, &QShortcut::activated, this, [this, id = id] { WindowHotKeyPressed(id); });
    }

    // Buttons and check boxes take the focus from the keyboard only, so that after a
    // click space still plays; the waveform is where the focus rests.
    auto* keepSpace = new ButtonsKeepSpace(this);
    for (auto* button : findChildren<QAbstractButton*>()) {
        button->setFocusPolicy(Qt::TabFocus);
        button->installEventFilter(keepSpace);
    }
    PaintBox1->setFocusPolicy(Qt::StrongFocus);
    PaintBox1->setFocus();  // takes effect when the window becomes active
}

// Each menu's captions, and the menu bar's, get access keys in the language shown.
// Given after the translation: the table knows the captions without them.
void TMainForm::GiveMenusAccessKeys() {
    GiveAccessKeys(menuBar()->actions());
    for (QAction* title : menuBar()->actions())
        if (title->menu()) GiveAccessKeys(title->menu()->actions());
}

// Space plays or pauses; text fields and buttons with the focus have claimed it already.
void TMainForm::SpaceKeyPressed() {
    if (IsTextField(focusWidget())) return;
    WindowHotKeyPressed(kHotKeyPlayPause);
}

// A desktop may hand one press both to its global shortcut and to the focused window, in
// either order: the same key from the other way within a moment counts once.
bool TMainForm::SecondDeliveryOfAHotKey(int id, bool global) {
    const bool twice = LastHotKey.id == id && LastHotKey.global != global && LastHotKey.when.isValid() &&
                       LastHotKey.when.elapsed() < 150;
    LastHotKey.id = twice ? -1 : id;  // a pair is used up: the next press counts again
    LastHotKey.global = global;
    LastHotKey.when.start();
    return twice;
}

void TMainForm::WindowHotKeyPressed(int id) {
    if (!SecondDeliveryOfAHotKey(id, false)) HotKeyPressed(id);
}

void TMainForm::GlobalHotKeyPressed(int id) {
    if (!SecondDeliveryOfAHotKey(id, true)) HotKeyPressed(id);
}

}  // namespace sonvira
