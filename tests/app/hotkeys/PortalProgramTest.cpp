// The program itself on a Wayland-looking session: it asks the desktop portal on its
// session bus (a private one with a fake portal here) for its three shortcuts.

#include <gtest/gtest.h>

#include "FakePortal.h"
#include "PrivateSessionBus.h"
#include "QtWait.h"

#include <QCoreApplication>
#include <QProcess>

namespace sonvira {
namespace {

constexpr int kStartLimitMs = 30000;  // a sanitized start with the sound server

TEST(PortalProgram, WaylandSessionBindsThePlaybackShortcutsThroughThePortal) {
    test::PrivateSessionBus bus;
    ASSERT_FALSE(bus.Address().isEmpty()) << bus.Error().toStdString();
    test::FakePortal portal(bus.Connect(), {});
    ASSERT_TRUE(portal.Registered());

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DBUS_SESSION_BUS_ADDRESS", bus.Address());
    environment.insert("WAYLAND_DISPLAY", "wayland-sonvira-test");
    environment.remove("XDG_SESSION_TYPE");
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(SONVIRA_PROGRAM, {});
    ASSERT_TRUE(program.waitForStarted(5000)) << program.errorString().toStdString();

    const bool bound = test::WaitUntil([&] { return portal.BoundShortcuts().size() == 3; }, kStartLimitMs);
    const auto shortcuts = portal.BoundShortcuts();
    program.kill();
    program.waitForFinished(5000);
    ASSERT_TRUE(bound) << "the program did not bind its shortcuts within " << kStartLimitMs << " ms";
    EXPECT_EQ(shortcuts.value("play-pause").preferredTrigger, "F11");
    EXPECT_EQ(shortcuts.value("slower").preferredTrigger, "CTRL+SHIFT+F11");
    EXPECT_EQ(shortcuts.value("faster").preferredTrigger, "CTRL+SHIFT+F12");
}

}  // namespace
}  // namespace sonvira

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
