#include "SessionHotKeys.h"

#include "PlaybackHotKeys.h"
#include "PortalGlobalHotKeys.h"
#include "PortalHotKeysWithFallback.h"
#include "X11GlobalHotKeys.h"

namespace sonvira {

GlobalHotKeys* MakeSessionHotKeys(HotKeySource source, const QDBusConnection& bus, QObject* owner) {
    const auto makeX11 = [](QObject* parent) -> GlobalHotKeys* { return new X11GlobalHotKeys(parent); };
    if (source == HotKeySource::X11Grabs) return makeX11(owner);
    return new PortalHotKeysWithFallback(new PortalGlobalHotKeys(bus, PlaybackPortalShortcuts()),
                                         makeX11, owner);
}

}  // namespace sonvira
