#include "PortalShortcutEntry.h"

#include <QDBusMetaType>

namespace sonvira {

QDBusArgument& operator<<(QDBusArgument& out, const PortalShortcutEntry& entry) {
    out.beginStructure();
    out << entry.name << entry.options;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, PortalShortcutEntry& entry) {
    in.beginStructure();
    in >> entry.name >> entry.options;
    in.endStructure();
    return in;
}

void RegisterPortalShortcutEntryTypes() {
    static const bool registered = [] {
        qDBusRegisterMetaType<PortalShortcutEntry>();
        qDBusRegisterMetaType<QList<PortalShortcutEntry>>();
        return true;
    }();
    (void)registered;
}

// Reading another type as this one would make QtDBus complain and return parts of it.
QList<PortalShortcutEntry> PortalShortcutEntries(const QVariant& value) {
    if (value.metaType() != QMetaType::fromType<QDBusArgument>()) return {};
    const auto argument = value.value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String("a(sa{sv})")) return {};
    return qdbus_cast<QList<PortalShortcutEntry>>(argument);
}

}  // namespace sonvira
