#include "FakePortal.h"

#include "PortalGlobalHotKeys.h"
#include "PortalShortcutEntry.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>

namespace sonvira::test {
namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kShortcuts = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");

// Where the portal puts the object of a request or session made by `sender` with `token`.
QString HandlePath(const char* kind, const QString& sender, const QString& token) {
    return QStringLiteral("%1/%2/%3/%4")
        .arg(kPath, QLatin1String(kind), PortalGlobalHotKeys::RequestSenderPart(sender), token);
}

QMap<QString, FakePortal::Shortcut> ShortcutsByName(const QVariant& list) {
    QMap<QString, FakePortal::Shortcut> shortcuts;
    for (const PortalShortcutEntry& entry : PortalShortcutEntries(list)) {
        shortcuts[entry.name] = {entry.options.value("description").toString(),
                                 entry.options.value("preferred_trigger").toString()};
    }
    return shortcuts;
}

// BindShortcuts' results: the bound shortcuts with their descriptions and, as the
// desktop would word it, how to press them.
QVariantMap BindResults(const QMap<QString, FakePortal::Shortcut>& bound) {
    QList<PortalShortcutEntry> list;
    for (auto s = bound.begin(); s != bound.end(); ++s) {
        const QVariantMap details{{"description", s->description},
                                  {"trigger_description", s->preferredTrigger}};
        list.push_back({s.key(), details});
    }
    return {{"shortcuts", QVariant::fromValue(list)}};
}

QDBusMessage Response(const QString& request, unsigned code, const QVariantMap& results) {
    QDBusMessage signal = QDBusMessage::createSignal(request, QStringLiteral("org.freedesktop.portal.Request"),
                                                     QStringLiteral("Response"));
    signal << code << results;
    return signal;
}

}  // namespace

FakePortal::FakePortal(QDBusConnection bus, FakePortalBehaviour behaviour)
    : bus_(std::move(bus)), behaviour_(std::move(behaviour)) {
    RegisterPortalShortcutEntryTypes();
    registered_ = bus_.registerVirtualObject(kPath, this, QDBusConnection::SubPath) &&
                  bus_.registerService(kService);
}

FakePortal::~FakePortal() {
    bus_.unregisterService(kService);
    bus_.unregisterObject(kPath, QDBusConnection::UnregisterTree);
}

QMap<QString, FakePortal::Shortcut> FakePortal::ShortcutsInCreateSession() const {
    std::lock_guard guard(lock_);
    return inCreateSession_;
}

QMap<QString, FakePortal::Shortcut> FakePortal::ShortcutsInBindShortcuts() const {
    std::lock_guard guard(lock_);
    return inBindShortcuts_;
}

QMap<QString, FakePortal::Shortcut> FakePortal::BoundShortcuts() const {
    std::lock_guard guard(lock_);
    return bound_;
}

QString FakePortal::Session() const {
    std::lock_guard guard(lock_);
    return session_;
}

QStringList FakePortal::ClosedSessions() const {
    std::lock_guard guard(lock_);
    return closed_;
}

void FakePortal::Press(const QString& name, const QString& session) {
    QDBusMessage signal = QDBusMessage::createSignal(kPath, kShortcuts, QStringLiteral("Activated"));
    signal << QVariant::fromValue(QDBusObjectPath(session.isEmpty() ? Session() : session)) << name
           << qulonglong(1234) << QVariantMap();
    bus_.send(signal);
}

bool FakePortal::handleMessage(const QDBusMessage& message, const QDBusConnection& connection) {
    if (message.interface() == QLatin1String("org.freedesktop.DBus.Properties") &&
        message.member() == QLatin1String("Get"))
        return GetProperty(message, connection);
    if (message.interface() == kShortcuts && message.member() == QLatin1String("CreateSession"))
        return CreateSession(message, connection);
    if (message.interface() == kShortcuts && message.member() == QLatin1String("BindShortcuts"))
        return BindShortcuts(message, connection);
    if (message.interface() == QLatin1String("org.freedesktop.portal.Session") &&
        message.member() == QLatin1String("Close")) {
        std::lock_guard guard(lock_);
        closed_ << message.path();
        connection.send(message.createReply());
        return true;
    }
    return false;
}

bool FakePortal::GetProperty(const QDBusMessage& message, const QDBusConnection& connection) {
    const QVariantList args = message.arguments();
    const bool known = behaviour_.hasGlobalShortcuts && args.size() == 2 && args[0].toString() == kShortcuts &&
                       args[1].toString() == QLatin1String("version");
    connection.send(known ? message.createReply(QVariant::fromValue(QDBusVariant(1u)))
                          : message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.UnknownProperty"),
                                                     QStringLiteral("no such property")));
    return true;
}

bool FakePortal::CreateSession(const QDBusMessage& message, const QDBusConnection& connection) {
    const QVariantMap options = qdbus_cast<QVariantMap>(message.arguments().value(0));
    const QString request = RequestPath(message, options);
    const QString session =
        HandlePath("session", message.service(), options.value("session_handle_token").toString());
    {
        std::lock_guard guard(lock_);
        session_ = session;
        inCreateSession_ = ShortcutsByName(options.value("shortcuts"));
    }
    const QDBusMessage reply = message.createReply(QVariant::fromValue(QDBusObjectPath(request)));
    if (!behaviour_.answersCreateSession) {
        connection.send(reply);
        return true;
    }
    const QVariant handle = behaviour_.sessionHandleAsObjectPath ? QVariant::fromValue(QDBusObjectPath(session))
                                                                 : QVariant(session);
    Answer(connection, reply, Response(request, behaviour_.createResponse, {{"session_handle", handle}}));
    return true;
}

bool FakePortal::BindShortcuts(const QDBusMessage& message, const QDBusConnection& connection) {
    const QVariantList args = message.arguments();
    if (args.size() != 4) return false;
    QMap<QString, Shortcut> bound;
    {
        std::lock_guard guard(lock_);
        inBindShortcuts_ = ShortcutsByName(args[1]);
        if (behaviour_.bindResponse == 0) bound = Binding();
        bound_ = bound;
    }
    const QVariantMap options = qdbus_cast<QVariantMap>(args[3]);
    const QString request = RequestPath(message, options);
    Answer(connection, message.createReply(QVariant::fromValue(QDBusObjectPath(request))),
           Response(request, behaviour_.bindResponse, BindResults(bound)));
    return true;
}

// What the backend binds of what it was asked; the caller holds the lock.
QMap<QString, FakePortal::Shortcut> FakePortal::Binding() const {
    QMap<QString, Shortcut> bound;
    switch (behaviour_.backend) {
    case FakePortalBackend::BindsAsked: bound = inBindShortcuts_; break;
    case FakePortalBackend::BindsNothing: break;
    case FakePortalBackend::BindsFromCreateSession: bound = inCreateSession_; break;
    }
    for (const QString& name : behaviour_.declines) bound.remove(name);
    return bound;
}

QString FakePortal::RequestPath(const QDBusMessage& call, const QVariantMap& options) {
    if (behaviour_.usesTheAskedRequestPath)
        return HandlePath("request", call.service(), options.value("handle_token").toString());
    std::lock_guard guard(lock_);
    return HandlePath("request", call.service(), QStringLiteral("portal%1").arg(++ownRequests_));
}

void FakePortal::Answer(const QDBusConnection& connection, const QDBusMessage& reply,
                        const QDBusMessage& response) {
    const bool first = behaviour_.respondsBeforeReturning && behaviour_.usesTheAskedRequestPath;
    if (first) connection.send(response);
    connection.send(reply);
    if (!first) connection.send(response);
}

}  // namespace sonvira::test
