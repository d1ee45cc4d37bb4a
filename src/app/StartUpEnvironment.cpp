#include "app/StartUpEnvironment.h"

#include "window/TaskbarProgress.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <memory>

StartUpEnvironment
StartUpEnvironment::system(std::function<std::unique_ptr<TaskbarProgress>()> makeTaskbar)
{
    StartUpEnvironment env;
    env.executablePath = QCoreApplication::applicationFilePath();
    env.tempPath = QDir::tempPath();
    // Seeded once from the system's entropy when start-up draws from it.
    auto random = std::make_shared<QRandomGenerator>(QRandomGenerator::securelySeeded());
    env.randomDigit = [random] { return int(random->bounded(10)); };
    env.sessionBusAvailable = [] { return QDBusConnection::sessionBus().isConnected(); };
    env.makeTaskbar = std::move(makeTaskbar);
    env.documentsFolder = [] {
        const QString documents =
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        // Without a documents folder the home folder is the next best place.
        return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
    };
    return env;
}
