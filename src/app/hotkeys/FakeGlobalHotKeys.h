#pragma once
// Global hot keys without a display, for window tests: registrations are kept in a
// list and Press plays the part of the user.

#include "GlobalHotKeys.h"

#include <vector>

namespace sonvira {

class FakeGlobalHotKeys final : public GlobalHotKeys {
    Q_OBJECT
public:
    struct Registration {
        int id;
        Qt::KeyboardModifiers modifiers;
        Qt::Key key;
    };

    using GlobalHotKeys::GlobalHotKeys;

    // Records the combination; always granted unless it is already registered.
    bool Register(int id, Qt::KeyboardModifiers modifiers, Qt::Key key) override;
    // Emits Activated with the id registered for the combination and returns true;
    // false (and no signal) when it is not registered.
    bool Press(Qt::KeyboardModifiers modifiers, Qt::Key key);
    const std::vector<Registration>& Registrations() const { return registrations_; }

private:
    const Registration* Find(Qt::KeyboardModifiers modifiers, Qt::Key key) const;

    std::vector<Registration> registrations_;
};

}  // namespace sonvira
