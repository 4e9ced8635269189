#pragma once
// One action as the desktop portal lists it among the program's global shortcuts.

#include <QString>

namespace sonvira {

struct PortalShortcut {
    int id;               // what GlobalHotKeys::Activated reports
    QString name;         // what the portal binds and reports; stays the same across starts
    QString description;  // what the user reads beside the keys in the desktop's settings
};

}  // namespace sonvira
