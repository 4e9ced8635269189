#include "X11Keyboard.h"

#include <X11/keysym.h>
#include <cstdlib>

namespace sonvira {

uint32_t KeySymForKey(Qt::Key key) {
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35) {
        return static_cast<uint32_t>(XK_F1 + (key - Qt::Key_F1));
    }
    return 0;
}

uint16_t ModifierMaskFor(Qt::KeyboardModifiers modifiers) {
    uint16_t mask = 0;
    if (modifiers & Qt::ShiftModifier) mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & Qt::ControlModifier) mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & Qt::AltModifier) mask |= XCB_MOD_MASK_1;
    if (modifiers & Qt::MetaModifier) mask |= XCB_MOD_MASK_4;
    return mask;
}

xcb_keycode_t KeyCodeForKeySym(xcb_connection_t* connection, uint32_t keysym) {
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    auto* reply = xcb_get_keyboard_mapping_reply(
        connection,
        xcb_get_keyboard_mapping(connection, setup->min_keycode, static_cast<uint8_t>(count)),
        nullptr);
    if (reply == nullptr) return 0;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply);
    const int perCode = reply->keysyms_per_keycode;
    xcb_keycode_t found = 0;
    for (int code = 0; code < count && found == 0; ++code) {
        for (int column = 0; column < perCode; ++column) {
            if (syms[code * perCode + column] == keysym) {
                found = static_cast<xcb_keycode_t>(setup->min_keycode + code);
                break;
            }
        }
    }
    std::free(reply);
    return found;
}

uint16_t NumLockMask(xcb_connection_t* connection) {
    const xcb_keycode_t numLock = KeyCodeForKeySym(connection, XK_Num_Lock);
    auto* reply = xcb_get_modifier_mapping_reply(connection, xcb_get_modifier_mapping(connection),
                                                 nullptr);
    uint16_t mask = XCB_MOD_MASK_2;
    if (reply == nullptr) return mask;
    const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(reply);
    const int perModifier = reply->keycodes_per_modifier;
    // Rows 0 … 7 are Shift, Lock, Control, Mod1 … Mod5; only Mod1 … Mod5 can be Num Lock.
    for (int row = 3; row < 8 && numLock != 0; ++row) {
        for (int i = 0; i < perModifier; ++i) {
            if (codes[row * perModifier + i] == numLock) mask = static_cast<uint16_t>(1u << row);
        }
    }
    std::free(reply);
    return mask;
}

}  // namespace sonvira
