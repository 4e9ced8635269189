#pragma once
// A key combination written as the desktop portal's shortcuts expect a preferred
// trigger: modifiers CTRL, ALT, SHIFT, LOGO and the key's X key symbol name joined by
// '+', e.g. "CTRL+SHIFT+F11". Plain text work; any thread.

#include <Qt>
#include <string>

namespace sonvira {

// The trigger for `modifiers` + `key`; empty for a key without a name here (only the
// function keys F1 … F35 have one, as for the X11 grabs).
std::string PortalTrigger(Qt::KeyboardModifiers modifiers, Qt::Key key);

}  // namespace sonvira
