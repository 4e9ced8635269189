#include "FakeGlobalHotKeys.h"

namespace sonvira {

bool FakeGlobalHotKeys::Register(int id, Qt::KeyboardModifiers modifiers, Qt::Key key) {
    if (Find(modifiers, key) != nullptr) return false;
    registrations_.push_back({id, modifiers, key});
    return true;
}

bool FakeGlobalHotKeys::Press(Qt::KeyboardModifiers modifiers, Qt::Key key) {
    const Registration* match = Find(modifiers, key);
    if (match == nullptr) return false;
    emit Activated(match->id);
    return true;
}

const FakeGlobalHotKeys::Registration* FakeGlobalHotKeys::Find(Qt::KeyboardModifiers modifiers,
                                                               Qt::Key key) const {
    for (const auto& r : registrations_) {
        if (r.modifiers == modifiers && r.key == key) return &r;
    }
    return nullptr;
}

}  // namespace sonvira
