#include "PortalTrigger.h"

namespace sonvira {

std::string PortalTrigger(Qt::KeyboardModifiers modifiers, Qt::Key key) {
    if (key < Qt::Key_F1 || key > Qt::Key_F35) return {};
    std::string trigger;
    const struct {
        Qt::KeyboardModifier modifier;
        const char* name;
    } names[] = {{Qt::ControlModifier, "CTRL+"},
                 {Qt::AltModifier, "ALT+"},
                 {Qt::ShiftModifier, "SHIFT+"},
                 {Qt::MetaModifier, "LOGO+"}};
    for (const auto& n : names) {
        if (modifiers.testFlag(n.modifier)) trigger += n.name;
    }
    return trigger + "F" + std::to_string(key - Qt::Key_F1 + 1);
}

}  // namespace sonvira
