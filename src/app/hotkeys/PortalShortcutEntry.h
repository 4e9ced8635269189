#pragma once
// One element of the portal's shortcut lists, D-Bus type (sa{sv}): an action's name and
// its details. The program sends them (description, preferred_trigger) in CreateSession
// and BindShortcuts; the desktop answers BindShortcuts with those it bound (description,
// trigger_description). Registered with QtDBus on first use; window thread.

#include <QDBusArgument>
#include <QList>
#include <QString>
#include <QVariantMap>

namespace sonvira {

struct PortalShortcutEntry {
    QString name;
    QVariantMap options;
};

QDBusArgument& operator<<(QDBusArgument& out, const PortalShortcutEntry& entry);
const QDBusArgument& operator>>(const QDBusArgument& in, PortalShortcutEntry& entry);

// Makes PortalShortcutEntry and its list known to QtDBus; any number of calls.
void RegisterPortalShortcutEntryTypes();

// The list in `value` as it came off the bus; empty when `value` holds no a(sa{sv}).
QList<PortalShortcutEntry> PortalShortcutEntries(const QVariant& value);

}  // namespace sonvira
