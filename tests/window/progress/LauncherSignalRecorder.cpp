#include "LauncherSignalRecorder.h"

#include "window/LauncherEntryProgress.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusInterface>
#include <QDeadlineTimer>

namespace {

constexpr int WaitGuardMs = 10000; // failure guard only

} // namespace

bool LauncherSignalRecorder::listen(QDBusConnection bus)
{
    const QString any;
    if (!bus.connect(any, any, QLatin1String(LauncherEntryProgress::Interface),
                     QLatin1String(LauncherEntryProgress::Signal), this,
                     SLOT(onUpdate(QDBusMessage))))
        return false;
    if (!bus.connect(any, any, QLatin1String(MarkerInterface), QLatin1String(MarkerSignal), this,
                     SLOT(onMarker())))
        return false;
    // A call answered by the bus comes back after the match rules above are in force.
    QDBusMessage ping = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetId"));
    return bus.call(ping, QDBus::Block, WaitGuardMs).type() == QDBusMessage::ReplyMessage;
}

bool LauncherSignalRecorder::waitForMarker(QDBusConnection sender)
{
    m_markerSeen = false;
    QDBusMessage marker =
        QDBusMessage::createSignal(QStringLiteral("/org/vidlark/Test"),
                                   QLatin1String(MarkerInterface), QLatin1String(MarkerSignal));
    if (!sender.send(marker))
        return false;
    const QDeadlineTimer guard(WaitGuardMs);
    while (!m_markerSeen && !guard.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return m_markerSeen;
}

void LauncherSignalRecorder::onUpdate(const QDBusMessage &message)
{
    Update update;
    update.path = message.path();
    update.signature = message.signature();
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() == 2) {
        update.appUri = arguments.at(0).toString();
        update.properties = qdbus_cast<QVariantMap>(arguments.at(1));
    }
    updates.append(update);
}

void LauncherSignalRecorder::onMarker()
{
    m_markerSeen = true;
}
