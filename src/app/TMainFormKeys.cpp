// Keys inside the window, whatever the desktop: space plays and pauses, Ctrl+O opens,
// Ctrl+S saves, and the hot keys work as window shortcuts too (where global hot keys
// cannot be had, or another program holds them).
#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QLineEdit>
#include <QShortcut>

#include "PlaybackHotKeys.h"
#include "TMainForm.h"
#include "TPaintBox.h"

namespace sonvira {
namespace {

bool IsTextField(const QWidget* w) {
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w);
}

}  // namespace

void TMainForm::CreateWindowKeys() {
    MenuItem("ffnen1")->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    MenuItem("SpeichernalsWAVMP31")->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));

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
    for (auto* button : findChildren<QAbstractButton*>()) button->setFocusPolicy(Qt::TabFocus);
    PaintBox1->setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(PaintBox1);
}

// Space plays or pauses, except in a text field (where it is typed) and on a button the
// keyboard has moved to (which it presses, as everywhere).
void TMainForm::SpaceKeyPressed() {
    QWidget* focus = focusWidget();
    if (IsTextField(focus)) return;
    if (auto* button = qobject_cast<QAbstractButton*>(focus)) {
        button->animateClick();
        return;
    }
    WindowHotKeyPressed(kHotKeyPlayPause);
}

// A desktop may hand a global hot key to the window as well: the same key within a moment
// of its global delivery counts once.
void TMainForm::WindowHotKeyPressed(int id) {
    if (LastGlobalHotKey.id == id && LastGlobalHotKey.when.isValid() && LastGlobalHotKey.when.elapsed() < 150) return;
    HotKeyPressed(id);
}

void TMainForm::GlobalHotKeyPressed(int id) {
    LastGlobalHotKey.id = id;
    LastGlobalHotKey.when.start();
    HotKeyPressed(id);
}

}  // namespace sonvira
