// The program itself on a Wayland-looking session: it asks the desktop portal on its
// session bus (a private one with a fake portal here) for its three shortcuts, and
// logs the ones a desktop leaves unbound.

#include <gtest/gtest.h>

#include "FakePortal.h"
#include "PrivateSessionBus.h"
#include "QtWait.h"

#include <QCoreApplication>
#include <QProcess>

namespace sonvira {
namespace {

constexpr int kStartLimitMs = 30000;  // a sanitized start with the sound server

using test::FakePortalBackend;

TEST(PortalProgram, WaylandSessionBindsThePlaybackShortcutsThroughThePortal) {
    const struct {
        const char* what;
        FakePortalBackend backend;
        bool binds;
    } desktops[] = {
        {"binds from BindShortcuts", FakePortalBackend::BindsAsked, true},
        {"binds from CreateSession's options", FakePortalBackend::BindsFromCreateSession, true},
        {"answers success and binds nothing", FakePortalBackend::BindsNothing, false},
    };
    for (const auto& d : desktops) {
        SCOPED_TRACE(d.what);
        test::PrivateSessionBus bus;
        ASSERT_FALSE(bus.Address().isEmpty()) << bus.Error().toStdString();
        test::FakePortal portal(bus.Connect(), {.backend = d.backend});
        ASSERT_TRUE(portal.Registered());

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DBUS_SESSION_BUS_ADDRESS", bus.Address());
        environment.insert("WAYLAND_DISPLAY", "wayland-sonvira-test");
        environment.remove("XDG_SESSION_TYPE");
        QProcess program;
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::ForwardedOutputChannel);
        program.start(SONVIRA_PROGRAM, {});
        ASSERT_TRUE(program.waitForStarted(5000)) << program.errorString().toStdString();

        // The log names every key the desktop left unbound with its description.
        QString log;
        const auto answered = [&] {
            log += QString::fromUtf8(program.readAllStandardError());
            return d.binds ? portal.BoundShortcuts().size() == 3 : log.contains("faster (Tempo erhöhen)");
        };
        const bool done = test::WaitUntil(answered, kStartLimitMs);
        const auto shortcuts = portal.BoundShortcuts();
        program.kill();
        program.waitForFinished(5000);
        log += QString::fromUtf8(program.readAllStandardError());
        ASSERT_TRUE(done) << "no binding or log within " << kStartLimitMs << " ms; the program said:\n"
                          << log.toStdString();
        if (d.binds) {
            EXPECT_EQ(shortcuts.value("play-pause").preferredTrigger, "F11");
            EXPECT_EQ(shortcuts.value("slower").preferredTrigger, "CTRL+SHIFT+F11");
            EXPECT_EQ(shortcuts.value("faster").preferredTrigger, "CTRL+SHIFT+F12");
        } else {
            for (const char* missing : {"play-pause (Abspielen / Pause)", "slower (Tempo verringern)"})
                EXPECT_TRUE(log.contains(missing)) << missing << " not in:\n" << log.toStdString();
        }
    }
}

}  // namespace
}  // namespace sonvira

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
