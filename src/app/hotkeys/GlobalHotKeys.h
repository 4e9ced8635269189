#pragma once
// Keys that reach the program while any other program has the focus. The window
// registers key combinations under small ids and acts on Activated(id); several
// combinations may share one id.

#include <QObject>

namespace sonvira {

class GlobalHotKeys : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~GlobalHotKeys() override = default;

    // Makes `modifiers` + `key` a global hot key reported as `id`, whatever the state
    // of Caps Lock and Num Lock. False when the combination cannot be had (another
    // program holds it, no display, an unsupported key); that is not an error and the
    // other registrations stay. Window thread.
    virtual bool Register(int id, Qt::KeyboardModifiers modifiers, Qt::Key key) = 0;

signals:
    // A registered combination was pressed. Emitted on the window thread.
    void Activated(int id);
    // From now on the keys reach the program only while one of its own windows has
    // the focus: the desktop would not give global ones (a Wayland desktop without the
    // portal's global shortcuts). Emitted at most once, on the window thread.
    void FocusNeeded();
};

}  // namespace sonvira
