#include "PortalHotKeysWithFallback.h"

#include "PortalGlobalHotKeys.h"

namespace sonvira {

PortalHotKeysWithFallback::PortalHotKeysWithFallback(PortalGlobalHotKeys* portal,
                                                     FallbackFactory makeFallback, QObject* parent)
    : GlobalHotKeys(parent), portal_(portal), makeFallback_(std::move(makeFallback)) {
    portal_->setParent(this);
    connect(portal_, &GlobalHotKeys::Activated, this, &GlobalHotKeys::Activated);
    connect(portal_, &PortalGlobalHotKeys::Unavailable, this,
            &PortalHotKeysWithFallback::SwitchToFallback);
}

bool PortalHotKeysWithFallback::Register(int id, Qt::KeyboardModifiers modifiers, Qt::Key key) {
    registrations_.push_back({id, modifiers, key});
    return fallback_ != nullptr ? fallback_->Register(id, modifiers, key)
                                : portal_->Register(id, modifiers, key);
}

// The reason goes to the log only: the user learns what matters from the hint label.
void PortalHotKeysWithFallback::SwitchToFallback(const QString& reason) {
    if (fallback_ != nullptr) return;
    qInfo("Global shortcuts from the desktop portal: %s; keys only while the window has the focus",
          qPrintable(reason));
    fallback_ = makeFallback_(this);
    connect(fallback_, &GlobalHotKeys::Activated, this, &GlobalHotKeys::Activated);
    for (const Registration& r : registrations_) fallback_->Register(r.id, r.modifiers, r.key);
    emit FocusNeeded();
}

}  // namespace sonvira
