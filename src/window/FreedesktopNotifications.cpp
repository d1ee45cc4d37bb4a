#include "window/FreedesktopNotifications.h"

#include "window/DesktopEntry.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

namespace {

const QString OpenFolderLabel = QStringLiteral("Open Folder");
constexpr int ServerDefaultTimeout = -1;

} // namespace

FreedesktopNotifications::FreedesktopNotifications(const QDBusConnection &bus,
                                                   FolderOpener openFolder)
    : m_bus(bus)
    , m_openFolder(std::move(openFolder))
{
    const QString service = QLatin1String(Service);
    const QString path = QLatin1String(ObjectPath);
    const QString interface = QLatin1String(Interface);
    m_bus.connect(service, path, interface, QStringLiteral("ActionInvoked"), this,
                  SLOT(onActionInvoked(uint, QString)));
    m_bus.connect(service, path, interface, QStringLiteral("NotificationClosed"), this,
                  SLOT(onNotificationClosed(uint, uint)));
}

std::unique_ptr<DesktopNotifications> FreedesktopNotifications::Create(const QDBusConnection &bus,
                                                                       FolderOpener openFolder)
{
    if (!bus.isConnected())
        return std::make_unique<NoDesktopNotifications>();
    return std::make_unique<FreedesktopNotifications>(bus, std::move(openFolder));
}

void FreedesktopNotifications::notify(const QString &summary, const QString &body,
                                      const QString &folder)
{
    QDBusMessage message =
        QDBusMessage::createMethodCall(QLatin1String(Service), QLatin1String(ObjectPath),
                                       QLatin1String(Interface), QStringLiteral("Notify"));
    QStringList actions;
    if (!folder.isEmpty())
        actions << QLatin1String(OpenFolderAction) << OpenFolderLabel;
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QLatin1String(DesktopEntryId));
    const QString id = QLatin1String(DesktopEntryId);
    // The body may be read as markup; a file name is text.
    message << QStringLiteral("Vidlark") << uint(0) << id << summary << body.toHtmlEscaped()
            << actions << hints << ServerDefaultTimeout;
    // Never waited for: a slow or missing notification server must not hold the window.
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(message), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, folder](QDBusPendingCallWatcher *call) {
                const QDBusPendingReply<uint> reply = *call;
                if (!reply.isError() && !folder.isEmpty())
                    m_folders.insert(reply.value(), folder);
                call->deleteLater();
            });
}

void FreedesktopNotifications::onActionInvoked(uint id, const QString &action)
{
    // Other programs' notifications come by on the same signal.
    const auto folder = m_folders.constFind(id);
    if (folder == m_folders.constEnd() || action != QLatin1String(OpenFolderAction))
        return;
    if (m_openFolder)
        m_openFolder(*folder);
}

void FreedesktopNotifications::onNotificationClosed(uint id, uint)
{
    m_folders.remove(id);
}
