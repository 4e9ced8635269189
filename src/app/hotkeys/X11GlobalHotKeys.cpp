#include "X11GlobalHotKeys.h"

#include "X11Keyboard.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <algorithm>
#include <cstdlib>
#include <xcb/xcb.h>

namespace sonvira {
namespace {

constexpr uint16_t kHotKeyModifiers =
    XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

xcb_connection_t* ApplicationConnection() {
    auto* app = qGuiApp;
    if (app == nullptr) return nullptr;
    auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

}  // namespace

X11GlobalHotKeys::X11GlobalHotKeys(QObject* parent) : GlobalHotKeys(parent) {
    xcb_connection_t* connection = ApplicationConnection();
    if (connection == nullptr) return;
    connection_ = connection;
    for (auto it = xcb_setup_roots_iterator(xcb_get_setup(connection)); it.rem > 0;
         xcb_screen_next(&it)) {
        roots_.push_back(it.data->root);
    }
    numLockMask_ = NumLockMask(connection);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11GlobalHotKeys::~X11GlobalHotKeys() {
    if (connection_ == nullptr || ApplicationConnection() != connection_) return;
    QCoreApplication::instance()->removeNativeEventFilter(this);
    for (const Grab& grab : grabs_) Ungrab(grab.keycode, grab.modifiers);
    xcb_flush(static_cast<xcb_connection_t*>(connection_));
}

bool X11GlobalHotKeys::Register(int id, Qt::KeyboardModifiers modifiers, Qt::Key key) {
    if (connection_ == nullptr) return false;
    const uint32_t keysym = KeySymForKey(key);
    if (keysym == 0) return false;
    const xcb_keycode_t keycode =
        KeyCodeForKeySym(static_cast<xcb_connection_t*>(connection_), keysym);
    if (keycode == 0) return false;
    const uint16_t mask = ModifierMaskFor(modifiers);
    if (!GrabAllVariants(keycode, mask)) return false;
    grabs_.push_back({id, keycode, mask});
    return true;
}

// One grab per lock state, so Caps Lock or Num Lock being on does not hide the key.
bool X11GlobalHotKeys::GrabAllVariants(uint8_t keycode, uint16_t modifiers) {
    auto* c = static_cast<xcb_connection_t*>(connection_);
    const uint16_t locks[] = {0, XCB_MOD_MASK_LOCK, numLockMask_,
                              static_cast<uint16_t>(XCB_MOD_MASK_LOCK | numLockMask_)};
    bool granted = true;
    for (uint32_t root : roots_) {
        for (uint16_t lock : locks) {
            // Not owner_events: presses over our own windows go to the root as well,
            // so a hot key acts the same whichever window has the focus.
            xcb_generic_error_t* error = xcb_request_check(
                c, xcb_grab_key_checked(c, 0, root, static_cast<uint16_t>(modifiers | lock),
                                        keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
            if (error != nullptr) {
                granted = false;
                std::free(error);
            }
        }
    }
    if (!granted) Ungrab(keycode, modifiers);
    return granted;
}

void X11GlobalHotKeys::Ungrab(uint8_t keycode, uint16_t modifiers) {
    auto* c = static_cast<xcb_connection_t*>(connection_);
    const uint16_t locks[] = {0, XCB_MOD_MASK_LOCK, numLockMask_,
                              static_cast<uint16_t>(XCB_MOD_MASK_LOCK | numLockMask_)};
    for (uint32_t root : roots_) {
        for (uint16_t lock : locks) {
            xcb_ungrab_key(c, keycode, root, static_cast<uint16_t>(modifiers | lock));
        }
    }
}

bool X11GlobalHotKeys::IsRoot(uint32_t window) const {
    return std::find(roots_.begin(), roots_.end(), window) != roots_.end();
}

bool X11GlobalHotKeys::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_KEY_PRESS) return false;
    const auto* press = static_cast<const xcb_key_press_event_t*>(message);
    if (!IsRoot(press->event)) return false;
    const uint16_t held = press->state & kHotKeyModifiers;
    for (const Grab& grab : grabs_) {
        if (grab.keycode == press->detail && grab.modifiers == held) {
            emit Activated(grab.id);
            return true;
        }
    }
    return false;
}

}  // namespace sonvira
