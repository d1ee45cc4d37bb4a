#include "app/StartUpEnvironment.h"

#include "job/PlacesEnvironment.h"
#include "job/ProgramPlaces.h"
#include "window/DesktopNotifications.h"
#include "window/TaskbarProgress.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <memory>

namespace {

QString existingFolder(QStandardPaths::StandardLocation location)
{
    const QString folder = QStandardPaths::writableLocation(location);
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

} // namespace

StartUpEnvironment
StartUpEnvironment::system(std::function<std::unique_ptr<TaskbarProgress>()> makeTaskbar,
                           std::function<std::unique_ptr<DesktopNotifications>()> makeNotifications)
{
    StartUpEnvironment env;
    env.executablePath = QCoreApplication::applicationFilePath();
    env.tempPath = QDir::tempPath();
    // Seeded once from the system's entropy when start-up draws from it.
    auto random = std::make_shared<QRandomGenerator>(QRandomGenerator::securelySeeded());
    env.randomDigit = [random] { return int(random->bounded(10)); };
    env.sessionBusAvailable = [] { return QDBusConnection::sessionBus().isConnected(); };
    env.makeTaskbar = std::move(makeTaskbar);
    env.makeNotifications = std::move(makeNotifications);
    env.defaultSaveFolder = [] {
        for (const auto location :
             {QStandardPaths::DownloadLocation, QStandardPaths::DocumentsLocation})
            if (const QString folder = existingFolder(location); !folder.isEmpty())
                return folder;
        // Without either the home folder is the next best place.
        return QDir::homePath();
    };
    env.decidePlaces = [](const QString &appDir) {
        PlacesEnvironment places = PlacesEnvironment::system();
        places.appDir = appDir;
        return ProgramPlaces::decide(places);
    };
    return env;
}
