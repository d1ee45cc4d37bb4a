#pragma once

#include "window/DesktopNotifications.h"

#include <QDBusConnection>
#include <QHash>
#include <QObject>

#include <functional>

// Notifications through org.freedesktop.Notifications on the session bus,
// tied to the program's desktop entry. A click on a notification's action
// comes back as ActionInvoked and opens the folder the notification named.
class FreedesktopNotifications final : public QObject, public DesktopNotifications
{
    Q_OBJECT

public:
    static constexpr char Service[] = "org.freedesktop.Notifications";
    static constexpr char ObjectPath[] = "/org/freedesktop/Notifications";
    static constexpr char Interface[] = "org.freedesktop.Notifications";
    static constexpr char OpenFolderAction[] = "default";

    using FolderOpener = std::function<void(const QString &folder)>;

    FreedesktopNotifications(const QDBusConnection &bus, FolderOpener openFolder);

    void notify(const QString &summary, const QString &body, const QString &folder) override;

    // The backend on a connected bus, the do-nothing one without.
    static std::unique_ptr<DesktopNotifications> Create(const QDBusConnection &bus,
                                                        FolderOpener openFolder);

private Q_SLOTS:
    void onActionInvoked(uint id, const QString &action);
    void onNotificationClosed(uint id, uint reason);

private:
    QDBusConnection m_bus;
    FolderOpener m_openFolder;
    QHash<uint, QString> m_folders; // shown notifications that offer a folder
};
