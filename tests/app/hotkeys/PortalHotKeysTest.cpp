// The portal client against a fake portal on a private session bus: what it binds,
// which presses reach it, and the fallback to the other mechanism when the portal
// cannot give the shortcuts.

#include <gtest/gtest.h>

#include "FakeGlobalHotKeys.h"
#include "FakePortal.h"
#include "PlaybackHotKeys.h"
#include "PortalGlobalHotKeys.h"
#include "PortalHotKeysWithFallback.h"
#include "PrivateSessionBus.h"
#include "QtWait.h"

#include <QStringList>
#include <algorithm>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <vector>

namespace sonvira {
namespace {

using test::FakePortal;
using test::FakePortalBackend;
using test::FakePortalBehaviour;

constexpr int kAnswerLimitMs = 5000;
constexpr int kNothingMoreMs = 300;  // how long to watch for something that must not come

// The program's log lines (qInfo and the like) while it lives.
class CapturedLog {
public:
    CapturedLog() : previous_(qInstallMessageHandler(&Keep)) { Take(); }
    ~CapturedLog() { qInstallMessageHandler(previous_); }
    CapturedLog(const CapturedLog&) = delete;
    CapturedLog& operator=(const CapturedLog&) = delete;

    // The lines logged since the last call, one string.
    static QString Take() {
        std::lock_guard guard(lock_);
        const QString text = lines_.join('\n');
        lines_.clear();
        return text;
    }

private:
    static void Keep(QtMsgType, const QMessageLogContext&, const QString& line) {
        std::lock_guard guard(lock_);
        lines_ << line;
    }
    static inline std::mutex lock_;
    static inline QStringList lines_;
    QtMessageHandler previous_;
};

class PortalHotKeysTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(bus.Address().isEmpty()) << bus.Error().toStdString(); }

    // Records what `keys` reports.
    void Watch(GlobalHotKeys& keys) {
        QObject::connect(&keys, &GlobalHotKeys::Activated, [this](int id) { arrived.push_back(id); });
        QObject::connect(&keys, &GlobalHotKeys::FocusNeeded, [this] { ++focusNeeded; });
    }
    // The ids that arrive after `press`, waiting for `expected` of them (a short while
    // when none is expected).
    std::vector<int> Arrivals(const std::function<void()>& press, size_t expected) {
        arrived.clear();
        press();
        // None expected: watch the whole while, or a stray key would go unseen.
        test::WaitUntil([&] { return expected > 0 && arrived.size() >= expected; },
                        expected ? kAnswerLimitMs : kNothingMoreMs);
        return arrived;
    }

    test::PrivateSessionBus bus;
    std::vector<int> arrived;
    int focusNeeded = 0;
};

TEST_F(PortalHotKeysTest, BindsTheThreeActionsWithTheirFirstKeys_PressesOfItsSessionArrive) {
    const struct {
        const char* what;
        FakePortalBehaviour behaviour;
    } portals[] = {
        {"answer before the reply", {}},
        {"answer after the reply", {.respondsBeforeReturning = false}},
        {"requests at the portal's own paths", {.usesTheAskedRequestPath = false}},
        {"session handle as an object path", {.sessionHandleAsObjectPath = true}},
        {"bound from the session's options", {.backend = FakePortalBackend::BindsFromCreateSession}},
        {"bound from the session's options, answer after the reply",
         {.backend = FakePortalBackend::BindsFromCreateSession, .respondsBeforeReturning = false}},
    };
    for (const auto& [what, behaviour] : portals) {
        SCOPED_TRACE(what);
        FakePortal portal(bus.Connect(), behaviour);
        ASSERT_TRUE(portal.Registered());
        PortalGlobalHotKeys keys(bus.Connect(), PlaybackPortalShortcuts());
        Watch(keys);
        bool bound = false;
        QObject::connect(&keys, &PortalGlobalHotKeys::Bound, [&] { bound = true; });
        QObject::connect(&keys, &PortalGlobalHotKeys::Unavailable,
                         [](const QString& reason) { ADD_FAILURE() << reason.toStdString(); });

        EXPECT_EQ(RegisterPlaybackHotKeys(keys), 3) << "one key per action; the Ctrl+Alt ones are refused";
        ASSERT_TRUE(test::WaitUntil([&] { return bound; }, kAnswerLimitMs));
        const QMap<QString, FakePortal::Shortcut> expected{
            {"play-pause", {"Abspielen / Pause", "F11"}},
            {"slower", {"Tempo verringern", "CTRL+SHIFT+F11"}},
            {"faster", {"Tempo erhöhen", "CTRL+SHIFT+F12"}},
        };
        EXPECT_EQ(portal.ShortcutsInCreateSession(), expected);
        EXPECT_EQ(portal.ShortcutsInBindShortcuts(), expected);
        EXPECT_EQ(portal.BoundShortcuts(), expected);
        EXPECT_FALSE(keys.Register(kHotKeyPlayPause, Qt::NoModifier, Qt::Key_F10)) << "after the binding";

        const QString otherSession = portal.Session() + "x";
        const struct {
            const char* name;
            QString session;
            std::vector<int> ids;
        } presses[] = {
            {"slower", {}, {kHotKeySlower}},
            {"faster", {}, {kHotKeyFaster}},
            {"play-pause", {}, {kHotKeyPlayPause}},
            {"louder", {}, {}},
            {"slower", otherSession, {}},
        };
        for (const auto& p : presses) {
            EXPECT_EQ(Arrivals([&] { portal.Press(p.name, p.session); }, p.ids.size()), p.ids)
                << p.name << " in " << (p.session.isEmpty() ? "its session" : "another session");
        }
        EXPECT_EQ(focusNeeded, 0);
    }
}

TEST_F(PortalHotKeysTest, SessionClosedWhenTheKeysGo) {
    FakePortal portal(bus.Connect(), {});
    ASSERT_TRUE(portal.Registered());
    {
        PortalGlobalHotKeys keys(bus.Connect(), PlaybackPortalShortcuts());
        bool bound = false;
        QObject::connect(&keys, &PortalGlobalHotKeys::Bound, [&] { bound = true; });
        RegisterPlaybackHotKeys(keys);
        ASSERT_TRUE(test::WaitUntil([&] { return bound; }, kAnswerLimitMs));
    }
    EXPECT_TRUE(test::WaitUntil([&] { return portal.ClosedSessions() == QStringList{portal.Session()}; },
                                kAnswerLimitMs))
        << portal.ClosedSessions().join(", ").toStdString();
}

// Without the portal's shortcuts every registration goes to the fallback, whose keys
// arrive; FocusNeeded comes once.
TEST_F(PortalHotKeysTest, UnavailablePortal_FallbackGetsEveryCombinationAndFocusNeededComesOnce) {
    const struct {
        const char* what;
        bool reachableBus;
        std::optional<FakePortalBehaviour> portal;  // none: no portal on the bus
    } cases[] = {
        {"no session bus", false, std::nullopt},
        {"no portal", true, std::nullopt},
        {"portal without global shortcuts", true, FakePortalBehaviour{.hasGlobalShortcuts = false}},
        {"session cancelled by the user", true, FakePortalBehaviour{.createResponse = 1}},
        {"binding refused", true, FakePortalBehaviour{.bindResponse = 2}},
        {"session never answered", true, FakePortalBehaviour{.answersCreateSession = false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<FakePortal> portal;
        if (c.portal) {
            portal = std::make_unique<FakePortal>(bus.Connect(), *c.portal);
            ASSERT_TRUE(portal->Registered());
        }
        const QDBusConnection connection =
            c.reachableBus ? bus.Connect() : QDBusConnection::connectToBus("unix:path=/nonexistent/bus", "sonvira-no-bus");
        auto* client = new PortalGlobalHotKeys(connection, PlaybackPortalShortcuts());
        client->SetSessionTimeLimit(std::chrono::milliseconds(500));
        FakeGlobalHotKeys* fallback = nullptr;
        PortalHotKeysWithFallback keys(client, [&fallback](QObject* parent) {
            return fallback = new FakeGlobalHotKeys(parent);
        });
        focusNeeded = 0;
        Watch(keys);

        RegisterPlaybackHotKeys(keys);
        ASSERT_TRUE(test::WaitUntil([&] { return focusNeeded > 0; }, kAnswerLimitMs));
        ASSERT_NE(fallback, nullptr);
        EXPECT_TRUE(keys.UsingFallback());
        EXPECT_EQ(fallback->Registrations().size(), 5u);
        EXPECT_TRUE(keys.Register(kHotKeyPlayPause, Qt::NoModifier, Qt::Key_F10)) << "goes to the fallback";
        EXPECT_EQ(Arrivals([&] { fallback->Press(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_F11); }, 1),
                  std::vector<int>{kHotKeySlower});
        if (portal && !portal->Session().isEmpty()) {
            EXPECT_EQ(Arrivals([&] { portal->Press("faster"); }, 0), std::vector<int>{})
                << "the portal's session is no longer listened to";
        }
        test::WaitUntil([] { return false; }, kNothingMoreMs);
        EXPECT_EQ(focusNeeded, 1);
    }
    QDBusConnection::disconnectFromBus("sonvira-no-bus");
}

// A desktop may answer "success" and bind less than it was asked (Plasma 5.27 binds
// nothing that came only in BindShortcuts; a key may be held elsewhere). The bound
// actions stay with the portal, the others go to the fallback, and the log names them.
TEST_F(PortalHotKeysTest, ShortcutsTheDesktopLeavesUnbound_GoToTheFallbackAndAreLogged) {
    const std::set<QString> kAllActions{"play-pause", "slower", "faster"};
    const struct {
        const char* what;
        FakePortalBehaviour behaviour;
        std::set<QString> unbound;
    } cases[] = {
        {"success with nothing bound", {.backend = FakePortalBackend::BindsNothing}, kAllActions},
        {"every shortcut declined", {.declines = {"play-pause", "slower", "faster"}}, kAllActions},
        {"slower declined", {.declines = {"slower"}}, {"slower"}},
        {"bound from the session's options but two",
         {.backend = FakePortalBackend::BindsFromCreateSession, .declines = {"play-pause", "faster"}},
         {"play-pause", "faster"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakePortal portal(bus.Connect(), c.behaviour);
        ASSERT_TRUE(portal.Registered());
        FakeGlobalHotKeys* fallback = nullptr;
        PortalHotKeysWithFallback keys(
            new PortalGlobalHotKeys(bus.Connect(), PlaybackPortalShortcuts()),
            [&fallback](QObject* parent) { return fallback = new FakeGlobalHotKeys(parent); });
        focusNeeded = 0;
        Watch(keys);
        const CapturedLog log;

        RegisterPlaybackHotKeys(keys);
        ASSERT_TRUE(test::WaitUntil([&] { return focusNeeded > 0; }, kAnswerLimitMs));
        ASSERT_NE(fallback, nullptr);
        const QString logged = CapturedLog::Take();
        std::set<int> fallbackIds;
        for (const auto& r : fallback->Registrations()) fallbackIds.insert(r.id);
        for (const PortalShortcut& shortcut : PlaybackPortalShortcuts()) {
            SCOPED_TRACE(shortcut.name.toStdString());
            const bool unbound = c.unbound.count(shortcut.name) != 0;
            EXPECT_EQ(fallbackIds.count(shortcut.id) != 0, unbound)
                << "the fallback has only the unbound actions";
            EXPECT_EQ(logged.contains(shortcut.name + " (" + shortcut.description + ")"), unbound)
                << logged.toStdString();
            EXPECT_EQ(Arrivals([&] { portal.Press(shortcut.name); }, unbound ? 0 : 1),
                      unbound ? std::vector<int>{} : std::vector<int>{shortcut.id})
                << "a press from the desktop counts only for what it bound";
        }
        if (c.unbound.count("slower") != 0) {
            const auto ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
            const auto press = [&] { fallback->Press(ctrlShift, Qt::Key_F11); };
            EXPECT_EQ(Arrivals(press, 1), std::vector<int>{kHotKeySlower});
        }
        EXPECT_EQ(focusNeeded, 1);
    }
}

}  // namespace
}  // namespace sonvira
