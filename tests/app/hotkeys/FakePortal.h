#pragma once
// A desktop portal for tests: answers on a bus, under org.freedesktop.portal.Desktop,
// the GlobalShortcuts interface's version property, CreateSession and BindShortcuts
// (through Request objects' Response signals, as the real portal does), records what it
// was asked and what it bound, and emits Activated when the test presses a shortcut.
// Its backend decides where the shortcuts to bind come from, as desktops differ there.
//
// QtDBus may call it on its own thread: what it records is behind a lock.

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QMap>
#include <QString>
#include <QStringList>
#include <mutex>

namespace sonvira::test {

enum class FakePortalBackend {
    // Binds what BindShortcuts asks for and lists it in the answer (newer desktops).
    BindsAsked,
    // Answers BindShortcuts with success and an empty list, having bound nothing
    // (Plasma 5.27's backend when CreateSession brought no shortcuts).
    BindsNothing,
    // Binds the shortcuts of CreateSession's "shortcuts" option and lists those in
    // BindShortcuts' answer, whatever BindShortcuts asks for (Plasma 5.27's backend).
    BindsFromCreateSession,
};

struct FakePortalBehaviour {
    FakePortalBackend backend = FakePortalBackend::BindsAsked;
    // Names the desktop leaves unbound (their keys held elsewhere, or the user removed
    // them in the desktop's dialog).
    QStringList declines = {};
    bool hasGlobalShortcuts = true;  // false: the version property is unknown
    bool answersCreateSession = true;
    unsigned createResponse = 0;  // 0 success, 1 cancelled by the user, 2 other
    unsigned bindResponse = 0;
    // The Response signal before the method's reply (a fast portal), or after it.
    bool respondsBeforeReturning = true;
    // false: Request objects at paths of the portal's own choosing, as older portals
    // had (their Response then comes after the reply).
    bool usesTheAskedRequestPath = true;
    // The session handle as an object path rather than the documented string.
    bool sessionHandleAsObjectPath = false;
};

class FakePortal final : public QDBusVirtualObject {
public:
    struct Shortcut {
        QString description;
        QString preferredTrigger;
        bool operator==(const Shortcut&) const = default;
    };

    // Registers on `bus` and takes the portal's name; Registered() tells if that worked.
    FakePortal(QDBusConnection bus, FakePortalBehaviour behaviour);
    ~FakePortal() override;

    bool Registered() const { return registered_; }
    // What the last CreateSession's "shortcuts" option and BindShortcuts asked for, by name.
    QMap<QString, Shortcut> ShortcutsInCreateSession() const;
    QMap<QString, Shortcut> ShortcutsInBindShortcuts() const;
    // The shortcuts the last BindShortcuts bound, by name (listed in its answer).
    QMap<QString, Shortcut> BoundShortcuts() const;
    QString Session() const;
    // Sessions closed through org.freedesktop.portal.Session.Close.
    QStringList ClosedSessions() const;
    // Emits Activated for `name` in the bound session (or in `session` when given).
    void Press(const QString& name, const QString& session = {});

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;
    QString introspect(const QString&) const override { return {}; }

private:
    bool GetProperty(const QDBusMessage& message, const QDBusConnection& connection);
    bool CreateSession(const QDBusMessage& message, const QDBusConnection& connection);
    bool BindShortcuts(const QDBusMessage& message, const QDBusConnection& connection);
    void Answer(const QDBusConnection& connection, const QDBusMessage& reply, const QDBusMessage& response);
    QMap<QString, Shortcut> Binding() const;
    QString RequestPath(const QDBusMessage& call, const QVariantMap& options);

    QDBusConnection bus_;
    const FakePortalBehaviour behaviour_;
    bool registered_ = false;
    mutable std::mutex lock_;
    QMap<QString, Shortcut> inCreateSession_;
    QMap<QString, Shortcut> inBindShortcuts_;
    QMap<QString, Shortcut> bound_;
    QString session_;
    QStringList closed_;
    int ownRequests_ = 0;
};

}  // namespace sonvira::test
