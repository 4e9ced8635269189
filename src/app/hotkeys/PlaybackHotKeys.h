#pragma once
// The program's three global hot keys. Ctrl+Alt+F11/F12 are what the hint label has
// always named, but X servers keep Ctrl+Alt+function keys for switching virtual
// terminals and never pass the press on, so the tempo keys also answer to
// Ctrl+Shift+F11/F12.

#include "GlobalHotKeys.h"

namespace sonvira {

enum PlaybackHotKey : int {
    kHotKeyPlayPause = 0,  // F11: pause/resume, or play when nothing plays
    kHotKeySlower = 1,     // Ctrl+Alt+F11, Ctrl+Shift+F11: speed − 0.1
    kHotKeyFaster = 2,     // Ctrl+Alt+F12, Ctrl+Shift+F12: speed + 0.1
};

// Registers the five combinations under their ids. Returns how many could be had;
// failures are not reported to the user. Window thread.
int RegisterPlaybackHotKeys(GlobalHotKeys& keys);

}  // namespace sonvira
