#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A session bus of the test's own: a dbus-daemon listening on a socket in a
// temporary folder, ended when the object goes, its connections closed first.
class PrivateSessionBus
{
public:
    PrivateSessionBus();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus &) = delete;
    PrivateSessionBus &operator=(const PrivateSessionBus &) = delete;

    static bool DaemonInstalled();

    // Empty when the daemon could not be started; then error() says why.
    QString address() const { return m_address; }
    QString error() const { return m_error; }
    // A connection of this name to the bus, or to `address` when one is given.
    QDBusConnection connect(const QString &name, const QString &address = {});

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
    QString m_error;
    QStringList m_connections;
};
