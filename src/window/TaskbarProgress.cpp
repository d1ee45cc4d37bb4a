#include "window/TaskbarProgress.h"

#include "window/LauncherEntryProgress.h"

#include <QDBusConnection>

std::unique_ptr<TaskbarProgress> TaskbarProgress::Create()
{
    return Create(QDBusConnection::sessionBus());
}

std::unique_ptr<TaskbarProgress> TaskbarProgress::Create(const QDBusConnection &bus)
{
    if (!bus.isConnected())
        return std::make_unique<NoTaskbarProgress>();
    return std::make_unique<LauncherEntryProgress>(bus);
}
