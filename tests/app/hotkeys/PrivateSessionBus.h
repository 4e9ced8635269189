#pragma once
// A session bus of the test's own: a dbus-daemon started with a time limit and stopped
// at the end, and named connections to it that end with it. Window thread.

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace sonvira::test {

class PrivateSessionBus {
public:
    // Starts the daemon and waits up to `limitMs` for its address; Address() stays
    // empty when it did not come (Error() says why).
    explicit PrivateSessionBus(int limitMs = 5000) {
        daemon_.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        if (!daemon_.waitForStarted(limitMs)) {
            error_ = "dbus-daemon did not start: " + daemon_.errorString();
            return;
        }
        while (!daemon_.canReadLine() && daemon_.waitForReadyRead(limitMs)) {
        }
        address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
        if (address_.isEmpty()) error_ = "dbus-daemon printed no address";
    }
    ~PrivateSessionBus() {
        for (const QString& name : names_) QDBusConnection::disconnectFromBus(name);
        daemon_.kill();
        daemon_.waitForFinished(2000);
    }
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    const QString& Address() const { return address_; }
    const QString& Error() const { return error_; }

    // A new connection of its own (another peer on the bus each time).
    QDBusConnection Connect() {
        static int count = 0;
        const QString name = QStringLiteral("sonvira-test-%1").arg(++count);
        names_ << name;
        return QDBusConnection::connectToBus(address_, name);
    }

private:
    QProcess daemon_;
    QString address_;
    QString error_;
    QStringList names_;
};

}  // namespace sonvira::test
