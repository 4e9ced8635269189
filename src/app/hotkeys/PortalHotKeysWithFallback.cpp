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
    connect(portal_, &PortalGlobalHotKeys::PartlyBound, this,
            &PortalHotKeysWithFallback::MoveToFallback);
}

bool PortalHotKeysWithFallback::Register(int id, Qt::KeyboardModifiers modifiers, Qt::Key key) {
    registrations_.push_back({id, modifiers, key});
    return fallback_ != nullptr ? fallback_->Register(id, modifiers, key)
                                : portal_->Register(id, modifiers, key);
}

void PortalHotKeysWithFallback::SwitchToFallback(const QString& reason) {
    QList<int> ids;
    for (const Registration& r : registrations_) ids.push_back(r.id);
    MoveToFallback(ids, reason);
}

// The reason, which names the keys, goes to the log only: the user learns what matters
// from the hint label.
void PortalHotKeysWithFallback::MoveToFallback(const QList<int>& ids, const QString& reason) {
    if (fallback_ != nullptr) return;
    qInfo("Global shortcuts from the desktop portal: %s; those keys only with the window focused",
          qUtf8Printable(reason));
    fallback_ = makeFallback_(this);
    connect(fallback_, &GlobalHotKeys::Activated, this, &GlobalHotKeys::Activated);
    for (const Registration& r : registrations_) {
        if (ids.contains(r.id)) fallback_->Register(r.id, r.modifiers, r.key);
    }
    emit FocusNeeded();
}

}  // namespace sonvira
