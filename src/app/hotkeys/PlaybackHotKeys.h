#pragma once
// The program's three global hot keys. Ctrl+Alt+F11/F12 are what the hint label has
// always named, but X servers keep Ctrl+Alt+function keys for switching virtual
// terminals and never pass the press on, so the tempo keys also answer to
// Ctrl+Shift+F11/F12.

#include "GlobalHotKeys.h"
#include "PortalShortcut.h"

#include <vector>

namespace sonvira {

enum PlaybackHotKey : int {
    kHotKeyPlayPause = 0,  // F11: pause/resume, or play when nothing plays
    kHotKeySlower = 1,     // Ctrl+Alt+F11, Ctrl+Shift+F11: speed − 0.1
    kHotKeyFaster = 2,     // Ctrl+Alt+F12, Ctrl+Shift+F12: speed + 0.1
};

// Registers the five combinations under their ids. Returns how many could be had;
// failures are not reported to the user. Each id's first combination is the one that
// reaches clients everywhere (F11, Ctrl+Shift+F11, Ctrl+Shift+F12): a desktop portal
// binds one key per action and takes that one as its suggestion. Window thread.
int RegisterPlaybackHotKeys(GlobalHotKeys& keys);

// The three actions as the desktop portal lists them ("play-pause", "slower",
// "faster"), with German descriptions as the program's own texts are.
std::vector<PortalShortcut> PlaybackPortalShortcuts();

}  // namespace sonvira
