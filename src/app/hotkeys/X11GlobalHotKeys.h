#pragma once
// Global hot keys on an X server: passive grabs of the key combinations on every
// root window, so the server sends their presses to this program whichever window
// has the focus (its own included). The presses arrive in Qt's xcb connection and are
// picked out by a native event filter. Needs the xcb platform (on Wayland, XWayland
// with QT_QPA_PLATFORM=xcb); on any other platform nothing can be registered.

#include "GlobalHotKeys.h"

#include <QAbstractNativeEventFilter>
#include <cstdint>
#include <vector>

namespace sonvira {

class X11GlobalHotKeys final : public GlobalHotKeys, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    // Installs the event filter on the running QGuiApplication. Window thread.
    explicit X11GlobalHotKeys(QObject* parent = nullptr);
    // Releases the grabs. Destroy before the QGuiApplication.
    ~X11GlobalHotKeys() override;

    // Grabs the combination four times: plain and with Caps Lock, Num Lock and both
    // set. False (nothing kept) when the server refuses any of them, typically
    // because another program holds the combination, or for an unsupported key
    // (only F1 … F35 are) or a platform other than xcb.
    bool Register(int id, Qt::KeyboardModifiers modifiers, Qt::Key key) override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    struct Grab {
        int id;
        uint8_t keycode;
        uint16_t modifiers;
    };
    bool GrabAllVariants(uint8_t keycode, uint16_t modifiers);
    void Ungrab(uint8_t keycode, uint16_t modifiers);
    bool IsRoot(uint32_t window) const;

    void* connection_ = nullptr;  // xcb_connection_t of the application, not owned
    std::vector<uint32_t> roots_;
    uint16_t numLockMask_ = 0;
    std::vector<Grab> grabs_;
};

}  // namespace sonvira
