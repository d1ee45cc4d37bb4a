#include "PrivateSessionBus.h"

#include <QStandardPaths>

namespace {

const QString DaemonProgram = QStringLiteral("dbus-daemon");
constexpr int StartTimeoutMs = 10000; // failure guard only

} // namespace

bool PrivateSessionBus::DaemonInstalled()
{
    return !QStandardPaths::findExecutable(DaemonProgram).isEmpty();
}

PrivateSessionBus::PrivateSessionBus()
{
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return;
    }
    m_daemon.setProgram(QStandardPaths::findExecutable(DaemonProgram));
    m_daemon.setArguments(
        {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address"),
         QStringLiteral("--address=unix:path=") + m_dir.filePath(QStringLiteral("bus"))});
    // Its complaints (fd limits in containers) are not ours to read.
    m_daemon.setStandardErrorFile(QProcess::nullDevice());
    m_daemon.start();
    if (!m_daemon.waitForStarted(StartTimeoutMs)) {
        m_error = QStringLiteral("dbus-daemon did not start: ") + m_daemon.errorString();
        return;
    }
    // The daemon prints its address once it listens.
    while (!m_daemon.canReadLine()) {
        if (!m_daemon.waitForReadyRead(StartTimeoutMs)) {
            m_error = QStringLiteral("dbus-daemon printed no address");
            return;
        }
    }
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
}

QDBusConnection PrivateSessionBus::connect(const QString &name, const QString &address)
{
    m_connections.append(name);
    return QDBusConnection::connectToBus(address.isEmpty() ? m_address : address, name);
}

PrivateSessionBus::~PrivateSessionBus()
{
    for (const QString &name : m_connections)
        QDBusConnection::disconnectFromBus(name);
    if (m_daemon.state() == QProcess::NotRunning)
        return;
    m_daemon.terminate();
    if (!m_daemon.waitForFinished(StartTimeoutMs)) {
        m_daemon.kill();
        m_daemon.waitForFinished(StartTimeoutMs);
    }
}
