#include "PlaybackHotKeys.h"

namespace sonvira {

int RegisterPlaybackHotKeys(GlobalHotKeys& keys) {
    const Qt::KeyboardModifiers ctrlAlt = Qt::ControlModifier | Qt::AltModifier;
    const Qt::KeyboardModifiers ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
    int granted = 0;
    granted += keys.Register(kHotKeyPlayPause, Qt::NoModifier, Qt::Key_F11) ? 1 : 0;
    granted += keys.Register(kHotKeySlower, ctrlShift, Qt::Key_F11) ? 1 : 0;
    granted += keys.Register(kHotKeySlower, ctrlAlt, Qt::Key_F11) ? 1 : 0;
    granted += keys.Register(kHotKeyFaster, ctrlShift, Qt::Key_F12) ? 1 : 0;
    granted += keys.Register(kHotKeyFaster, ctrlAlt, Qt::Key_F12) ? 1 : 0;
    return granted;
}

std::vector<PortalShortcut> PlaybackPortalShortcuts() {
    return {
        {kHotKeyPlayPause, QStringLiteral("play-pause"), QStringLiteral("Abspielen / Pause")},
        {kHotKeySlower, QStringLiteral("slower"), QStringLiteral("Tempo verringern")},
        {kHotKeyFaster, QStringLiteral("faster"), QStringLiteral("Tempo erhöhen")},
    };
}

}  // namespace sonvira
