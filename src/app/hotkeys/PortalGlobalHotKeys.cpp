#include "PortalGlobalHotKeys.h"

#include "PortalShortcutEntry.h"
#include "PortalTrigger.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QStringList>
#include <algorithm>

namespace sonvira {
namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kShortcutsInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kRequestInterface = QStringLiteral("org.freedesktop.portal.Request");
const QString kSessionInterface = QStringLiteral("org.freedesktop.portal.Session");
const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

QDBusMessage PortalCall(const QString& method) {
    return QDBusMessage::createMethodCall(kService, kPortalPath, kShortcutsInterface, method);
}

// The session handle arrives as a string (the documented type) or, from some
// portals, as an object path.
QString SessionHandle(const QVariantMap& results) {
    const QVariant handle = results.value(QStringLiteral("session_handle"));
    if (handle.metaType() == QMetaType::fromType<QDBusObjectPath>())
        return handle.value<QDBusObjectPath>().path();
    return handle.toString();
}

}  // namespace

PortalGlobalHotKeys::PortalGlobalHotKeys(QDBusConnection bus, std::vector<PortalShortcut> shortcuts,
                                         QObject* parent)
    : GlobalHotKeys(parent), bus_(std::move(bus)), shortcuts_(std::move(shortcuts)) {
    RegisterPortalShortcutEntryTypes();
    sessionDeadline_.setSingleShot(true);
    sessionDeadline_.setInterval(std::chrono::seconds(10));
    connect(&sessionDeadline_, &QTimer::timeout, this,
            [this] { Fail(QStringLiteral("no session from the portal in time")); });
}

PortalGlobalHotKeys::~PortalGlobalHotKeys() {
    if (session_.isEmpty() || !bus_.isConnected()) return;
    bus_.send(QDBusMessage::createMethodCall(kService, session_, kSessionInterface,
                                             QStringLiteral("Close")));
}

void PortalGlobalHotKeys::SetSessionTimeLimit(std::chrono::milliseconds limit) {
    sessionDeadline_.setInterval(limit);
}

bool PortalGlobalHotKeys::Register(int id, Qt::KeyboardModifiers modifiers, Qt::Key key) {
    if (step_ != Step::Idle && step_ != Step::Scheduled) return false;
    const bool known = std::any_of(shortcuts_.begin(), shortcuts_.end(),
                                   [id](const PortalShortcut& s) { return s.id == id; });
    if (!known || triggers_.count(id) != 0) return false;
    triggers_[id] = QString::fromStdString(PortalTrigger(modifiers, key));
    if (step_ == Step::Idle) {
        step_ = Step::Scheduled;
        QTimer::singleShot(0, this, &PortalGlobalHotKeys::Start);
    }
    return true;
}

QString PortalGlobalHotKeys::RequestSenderPart(const QString& uniqueName) {
    QString part = uniqueName;
    if (part.startsWith(u':')) part.remove(0, 1);
    return part.replace(u'.', u'_');
}

// First the interface's version: a portal without GlobalShortcuts answers with an
// error, as does a bus without any portal.
void PortalGlobalHotKeys::Start() {
    if (step_ != Step::Scheduled) return;
    if (!bus_.isConnected()) return Fail(QStringLiteral("no session bus"));
    step_ = Step::CheckingPortal;
    sessionDeadline_.start();
    // Every Request's Response, whatever its path: an older portal names its Request
    // only in the call's reply, and its answer may follow too soon to subscribe then.
    bus_.connect(kService, QString(), kRequestInterface, QStringLiteral("Response"), this,
                 SLOT(OnResponse(QDBusMessage)));
    QDBusMessage get = QDBusMessage::createMethodCall(kService, kPortalPath, kPropertiesInterface,
                                                      QStringLiteral("Get"));
    get << kShortcutsInterface << QStringLiteral("version");
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(get), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, &PortalGlobalHotKeys::OnVersionReply);
}

void PortalGlobalHotKeys::OnVersionReply(QDBusPendingCallWatcher* call) {
    call->deleteLater();
    if (step_ != Step::CheckingPortal) return;
    const QDBusPendingReply<QDBusVariant> reply = *call;
    if (reply.isError())
        return Fail(QStringLiteral("no global shortcuts portal: ") + reply.error().message());
    if (reply.value().variant().toUInt() < 1)
        return Fail(QStringLiteral("global shortcuts portal version 0"));
    CreateSession();
}

void PortalGlobalHotKeys::CreateSession() {
    step_ = Step::CreatingSession;
    const QString token = QStringLiteral("sonvira%1").arg(++tokens_);
    ExpectResponse(token);
    QDBusMessage call = PortalCall(QStringLiteral("CreateSession"));
    call << QVariantMap{{QStringLiteral("handle_token"), token},
                        {QStringLiteral("session_handle_token"), token},
                        {QStringLiteral("shortcuts"), ShortcutRequests()}};
    WatchCall(call, "CreateSession");
}

void PortalGlobalHotKeys::BindShortcuts() {
    step_ = Step::Binding;
    bus_.connect(kService, kPortalPath, kShortcutsInterface, QStringLiteral("Activated"), this,
                 SLOT(OnActivated(QDBusMessage)));
    const QString token = QStringLiteral("sonvira%1").arg(++tokens_);
    ExpectResponse(token);
    QDBusMessage call = PortalCall(QStringLiteral("BindShortcuts"));
    call << QVariant::fromValue(QDBusObjectPath(session_)) << ShortcutRequests() << QString()
         << QVariantMap{{QStringLiteral("handle_token"), token}};
    WatchCall(call, "BindShortcuts");
}

// The registered actions as the portal's a(sa{sv}): name, description and, where the
// key has a name there, the preferred trigger.
QVariant PortalGlobalHotKeys::ShortcutRequests() const {
    QList<PortalShortcutEntry> requests;
    for (const PortalShortcut& shortcut : shortcuts_) {
        const auto trigger = triggers_.find(shortcut.id);
        if (trigger == triggers_.end()) continue;
        QVariantMap options{{QStringLiteral("description"), shortcut.description}};
        if (!trigger->second.isEmpty()) options[QStringLiteral("preferred_trigger")] = trigger->second;
        requests.push_back({shortcut.name, options});
    }
    return QVariant::fromValue(requests);
}

// A missing action is named with its description, as the desktop's settings show it.
void PortalGlobalHotKeys::TakeBinding(const QVariantMap& results) {
    const QVariant listed = results.value(QStringLiteral("shortcuts"));
    for (const PortalShortcutEntry& entry : PortalShortcutEntries(listed))
        boundNames_.insert(entry.name);
    QList<int> unbound;
    QStringList missing;
    for (const PortalShortcut& shortcut : shortcuts_) {
        if (triggers_.count(shortcut.id) == 0 || boundNames_.contains(shortcut.name)) continue;
        unbound.push_back(shortcut.id);
        missing << QStringLiteral("%1 (%2)").arg(shortcut.name, shortcut.description);
    }
    if (unbound.size() == static_cast<qsizetype>(triggers_.size()))
        return Fail("the desktop bound none of the shortcuts: " + missing.join(", "));
    step_ = Step::Bound;
    if (unbound.empty()) {
        emit Bound();
        return;
    }
    emit PartlyBound(unbound, "the desktop did not bind " + missing.join(", "));
}

// The Request path the portal will use when it follows the handle token.
void PortalGlobalHotKeys::ExpectResponse(const QString& token) {
    expectedRequest_ = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2")
                           .arg(RequestSenderPart(bus_.baseService()), token);
}

// An error fails the conversation. A portal that names another Request path than the
// predicted one is awaited on that path; its answer may have come already.
void PortalGlobalHotKeys::WatchCall(const QDBusMessage& call, const char* what) {
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, what, step = step_, predicted = expectedRequest_](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                if (step_ != step || expectedRequest_ != predicted) return;  // answered already
                const QDBusPendingReply<QDBusObjectPath> reply = *w;
                if (reply.isError()) return Fail(QString::fromLatin1(what) + ": " + reply.error().message());
                expectedRequest_ = reply.value().path();
                const auto early = earlyResponses_.find(expectedRequest_);
                if (early != earlyResponses_.end()) HandleResponse(early->second);
            });
}

void PortalGlobalHotKeys::OnResponse(const QDBusMessage& signal) {
    const bool waiting = step_ == Step::CreatingSession || step_ == Step::Binding;
    if (!waiting) return;
    if (signal.path() == expectedRequest_) return HandleResponse(signal);
    earlyResponses_[signal.path()] = signal;
}

void PortalGlobalHotKeys::HandleResponse(const QDBusMessage& signal) {
    expectedRequest_.clear();
    earlyResponses_.clear();
    const QVariantList args = signal.arguments();
    if (args.size() < 2) return Fail(QStringLiteral("malformed answer from the portal"));
    const uint response = args.at(0).toUInt();
    if (response != 0) return Fail(QStringLiteral("the portal refused (response %1)").arg(response));
    const QVariantMap results = qdbus_cast<QVariantMap>(args.at(1));
    if (step_ == Step::CreatingSession) {
        sessionDeadline_.stop();
        session_ = SessionHandle(results);
        if (session_.isEmpty()) return Fail(QStringLiteral("the portal gave no session"));
        return BindShortcuts();
    }
    TakeBinding(results);
}

// A press may overtake the binding's answer on the bus; once the answer is in, only
// the shortcuts it listed count.
void PortalGlobalHotKeys::OnActivated(const QDBusMessage& signal) {
    if (step_ != Step::Binding && step_ != Step::Bound) return;
    const QVariantList args = signal.arguments();
    if (args.size() < 2 || args.at(0).value<QDBusObjectPath>().path() != session_) return;
    const QString name = args.at(1).toString();
    if (step_ == Step::Bound && !boundNames_.contains(name)) return;
    for (const PortalShortcut& shortcut : shortcuts_) {
        if (shortcut.name == name && triggers_.count(shortcut.id) != 0) {
            emit Activated(shortcut.id);
            return;
        }
    }
}

void PortalGlobalHotKeys::Fail(const QString& reason) {
    if (step_ == Step::Failed) return;
    step_ = Step::Failed;
    sessionDeadline_.stop();
    expectedRequest_.clear();
    earlyResponses_.clear();
    emit Unavailable(reason);
}

}  // namespace sonvira
