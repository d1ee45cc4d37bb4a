#include "FakeNotificationServer.h"

#include "window/FreedesktopNotifications.h"

#include <QDBusMessage>

bool FakeNotificationServer::serve(QDBusConnection bus)
{
    m_bus = bus;
    return bus.registerObject(QLatin1String(FreedesktopNotifications::ObjectPath), this,
                              QDBusConnection::ExportAllSlots) &&
           bus.registerService(QLatin1String(FreedesktopNotifications::Service));
}

uint FakeNotificationServer::Notify(const QString &appName, uint replacesId, const QString &appIcon,
                                    const QString &summary, const QString &body,
                                    const QStringList &actions, const QVariantMap &hints,
                                    int timeout)
{
    // Ids of a real server start above 0 and are never reused.
    calls.append(
        {appName, replacesId, appIcon, summary, body, actions, hints, timeout, ++m_lastId + 40});
    return calls.last().id;
}

void FakeNotificationServer::invokeAction(uint id, const QString &action)
{
    emitSignal(QStringLiteral("ActionInvoked"), {id, action});
}

void FakeNotificationServer::close(uint id)
{
    // Reason 2: dismissed by the user.
    emitSignal(QStringLiteral("NotificationClosed"), {id, uint(2)});
}

void FakeNotificationServer::emitSignal(const QString &name, const QList<QVariant> &arguments)
{
    QDBusMessage message =
        QDBusMessage::createSignal(QLatin1String(FreedesktopNotifications::ObjectPath),
                                   QLatin1String(FreedesktopNotifications::Interface), name);
    message.setArguments(arguments);
    m_bus.send(message);
}
