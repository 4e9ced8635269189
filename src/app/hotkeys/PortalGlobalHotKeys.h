#pragma once
// Global hot keys through the XDG desktop portal (org.freedesktop.portal.GlobalShortcuts
// on the session bus), for Wayland desktops where no program may grab keys itself. The
// program names its actions and suggests a key for each; the desktop binds them (it may
// ask the user, who may choose other keys) and reports their presses as signals.
//
// The conversation runs on the window thread's event loop, after the registrations:
// the interface's version property, CreateSession, BindShortcuts, each answered through
// a Request object's Response signal. Any failure (no portal, no GlobalShortcuts
// interface, a refused or cancelled request, no answer to CreateSession in time) ends
// it and is reported once through Unavailable.
//
// The shortcuts go out twice: as CreateSession's "shortcuts" option, where the KDE
// backend of Plasma 5.27 takes them (it binds nothing from BindShortcuts), and in
// BindShortcuts, where newer backends take them (newer portals drop the option). Only
// the shortcuts BindShortcuts' answer lists count as bound: a desktop that answers
// "success" with an empty list has bound nothing.

#include "GlobalHotKeys.h"
#include "PortalShortcut.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QList>
#include <QSet>
#include <QString>
#include <QTimer>
#include <chrono>
#include <map>
#include <vector>

class QDBusPendingCallWatcher;

namespace sonvira {

class PortalGlobalHotKeys final : public GlobalHotKeys {
    Q_OBJECT
public:
    // Talks to the portal on `bus` (the session bus in the program). `shortcuts` lists
    // the actions that may be registered. Window thread; nothing is sent yet.
    PortalGlobalHotKeys(QDBusConnection bus, std::vector<PortalShortcut> shortcuts,
                        QObject* parent = nullptr);
    // Closes the portal session, if one was opened (without waiting for an answer).
    ~PortalGlobalHotKeys() override;

    // Takes the combination as the suggested trigger of the action `id` and returns
    // true; the binding itself follows on the event loop (Bound, PartlyBound or
    // Unavailable). The desktop binds one trigger per action: a further combination for
    // an action that already has one, an action not in the list, or a registration after
    // the binding started is refused (false).
    bool Register(int id, Qt::KeyboardModifiers modifiers, Qt::Key key) override;

    // How long the portal may take from the first question to the session (10 s unless
    // set); then it counts as unavailable. The binding itself has no limit: the
    // desktop may be waiting for the user to choose keys. Call before the event loop
    // runs the conversation.
    void SetSessionTimeLimit(std::chrono::milliseconds limit);

    // The name under which the portal's Request objects for this connection live:
    // the unique bus name without ':' and with '.' as '_'.
    static QString RequestSenderPart(const QString& uniqueName);

signals:
    // The desktop bound every shortcut; presses arrive as Activated from now on.
    void Bound();
    // The desktop bound some of the shortcuts: presses of those arrive as Activated,
    // the actions `unboundIds` get none. `reason` names the missing ones for the log.
    void PartlyBound(const QList<int>& unboundIds, const QString& reason);
    // The portal cannot give the shortcuts (or bound none of them); emitted at most
    // once, nothing arrives. Bound, PartlyBound and Unavailable exclude each other.
    void Unavailable(const QString& reason);

private:
    enum class Step { Idle, Scheduled, CheckingPortal, CreatingSession, Binding, Bound, Failed };

    void Start();
    void CreateSession();
    void BindShortcuts();
    QVariant ShortcutRequests() const;
    void TakeBinding(const QVariantMap& results);
    void ExpectResponse(const QString& token);
    void WatchCall(const QDBusMessage& call, const char* what);
    void HandleResponse(const QDBusMessage& signal);
    void Fail(const QString& reason);

private slots:
    void OnVersionReply(QDBusPendingCallWatcher* call);
    void OnResponse(const QDBusMessage& signal);
    void OnActivated(const QDBusMessage& signal);

private:
    QDBusConnection bus_;
    std::vector<PortalShortcut> shortcuts_;
    std::map<int, QString> triggers_;  // action id → suggested trigger
    QSet<QString> boundNames_;         // the names the desktop's answer listed
    Step step_ = Step::Idle;
    QString expectedRequest_;  // the Request path whose Response comes next
    std::map<QString, QDBusMessage> earlyResponses_;  // answers on paths not yet named
    QString session_;
    QTimer sessionDeadline_;
    int tokens_ = 0;
};

}  // namespace sonvira
