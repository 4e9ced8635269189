#pragma once
// The portal's global shortcuts first; when the portal turns out to be unavailable,
// the same registrations go to a second mechanism (X11 grabs in the program), whose
// keys reach the program only while its window has the focus, and FocusNeeded says so.
// When the desktop binds only some of the actions, those stay with the portal (the
// desktop holds their keys, so no grab could have them) and only the registrations of
// the others go to the second mechanism, again with FocusNeeded.

#include "GlobalHotKeys.h"

#include <QList>
#include <functional>
#include <vector>

namespace sonvira {

class PortalGlobalHotKeys;

class PortalHotKeysWithFallback final : public GlobalHotKeys {
    Q_OBJECT
public:
    // Makes the fallback, owned by the given parent; called at most once.
    using FallbackFactory = std::function<GlobalHotKeys*(QObject* parent)>;

    // Takes ownership of `portal` (made its child). Window thread.
    PortalHotKeysWithFallback(PortalGlobalHotKeys* portal, FallbackFactory makeFallback,
                              QObject* parent = nullptr);

    // Remembered for the fallback, and passed to whichever mechanism is in use; its
    // answer is returned (the portal's before it has failed).
    bool Register(int id, Qt::KeyboardModifiers modifiers, Qt::Key key) override;

    // True once the fallback has taken over, for some actions or for all.
    bool UsingFallback() const { return fallback_ != nullptr; }

private:
    // Moves every registration to the fallback.
    void SwitchToFallback(const QString& reason);
    // Moves the registrations of the actions `ids` to the fallback.
    void MoveToFallback(const QList<int>& ids, const QString& reason);

    struct Registration {
        int id;
        Qt::KeyboardModifiers modifiers;
        Qt::Key key;
    };
    PortalGlobalHotKeys* portal_;
    FallbackFactory makeFallback_;
    GlobalHotKeys* fallback_ = nullptr;
    std::vector<Registration> registrations_;
};

}  // namespace sonvira
