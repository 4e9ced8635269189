#pragma once
// The program's global hot keys for the session it runs in: X11 grabs, or on Wayland
// the desktop portal's shortcuts with X11 grabs as the fallback.

#include "GlobalHotKeys.h"
#include "HotKeySource.h"

#include <QDBusConnection>

namespace sonvira {

// Makes the hot keys for `source`, owned by `owner`; the portal is asked on `bus` (the
// session bus in the program). Nothing is registered yet. Window thread, with the
// QGuiApplication running.
GlobalHotKeys* MakeSessionHotKeys(HotKeySource source, const QDBusConnection& bus, QObject* owner);

}  // namespace sonvira
