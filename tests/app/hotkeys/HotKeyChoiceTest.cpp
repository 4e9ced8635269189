// The start-up choice between X11 grabs and the desktop portal, and the key
// combinations as the portal's preferred triggers.

#include <gtest/gtest.h>

#include "HotKeySource.h"
#include "PortalTrigger.h"

namespace sonvira {
namespace {

TEST(HotKeySource, WaylandSessionsAskThePortalFirst_OthersKeepTheX11Grabs) {
    const struct {
        const char* waylandDisplay;
        const char* sessionType;
        HotKeySource expected;
    } cases[] = {
        {nullptr, nullptr, HotKeySource::X11Grabs},
        {nullptr, "x11", HotKeySource::X11Grabs},
        {"", "x11", HotKeySource::X11Grabs},
        {"", "", HotKeySource::X11Grabs},
        {nullptr, "tty", HotKeySource::X11Grabs},
        {nullptr, "waylandish", HotKeySource::X11Grabs},
        {"wayland-0", nullptr, HotKeySource::PortalThenX11Grabs},
        {"wayland-1", "x11", HotKeySource::PortalThenX11Grabs},
        {nullptr, "wayland", HotKeySource::PortalThenX11Grabs},
        {"", "Wayland", HotKeySource::PortalThenX11Grabs},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "WAYLAND_DISPLAY=" << (c.waylandDisplay ? c.waylandDisplay : "(unset)")
                                        << " XDG_SESSION_TYPE=" << (c.sessionType ? c.sessionType : "(unset)"));
        EXPECT_EQ(ChooseHotKeySource({c.waylandDisplay, c.sessionType}), c.expected);
    }
}

TEST(PortalTrigger, ModifiersInTheirOrderThenTheKeyName_OnlyFunctionKeysHaveOne) {
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const struct {
        Qt::KeyboardModifiers modifiers;
        Qt::Key key;
        const char* trigger;
    } cases[] = {
        {Qt::NoModifier, Qt::Key_F11, "F11"},
        {ctrl | Qt::ShiftModifier, Qt::Key_F11, "CTRL+SHIFT+F11"},
        {Qt::ShiftModifier | ctrl, Qt::Key_F12, "CTRL+SHIFT+F12"},
        {ctrl | Qt::AltModifier, Qt::Key_F12, "CTRL+ALT+F12"},
        {Qt::MetaModifier | Qt::AltModifier, Qt::Key_F1, "ALT+LOGO+F1"},
        {Qt::NoModifier, Qt::Key_F35, "F35"},
        {Qt::KeypadModifier, Qt::Key_F2, "F2"},  // no modifier of its own in a trigger
        {ctrl, Qt::Key_Escape, ""},
        {Qt::NoModifier, Qt::Key_A, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PortalTrigger(c.modifiers, c.key), c.trigger) << "key " << c.key << " modifiers "
                                                              << c.modifiers.toInt();
    }
}

}  // namespace
}  // namespace sonvira
