#pragma once
// What a key grab on an X server needs to know about the keyboard: the key code of a
// key symbol, the modifier bit Num Lock sits on, and Qt's keys and modifiers in X's
// terms. Plain xcb requests on the caller's connection; window thread.

#include <Qt>
#include <cstdint>
#include <xcb/xcb.h>

namespace sonvira {

// The X key symbol of a function key F1 … F35; 0 for any other key.
uint32_t KeySymForKey(Qt::Key key);
// X modifier bits for Shift, Ctrl, Alt (Mod1) and Meta (Mod4).
uint16_t ModifierMaskFor(Qt::KeyboardModifiers modifiers);
// The first key code whose keyboard mapping holds `keysym`; 0 when none does.
xcb_keycode_t KeyCodeForKeySym(xcb_connection_t* connection, uint32_t keysym);
// The modifier bit (Mod1 … Mod5) that Num Lock sets; Mod2, the usual one, when the
// server's modifier map does not say.
uint16_t NumLockMask(xcb_connection_t* connection);

}  // namespace sonvira
