#include "job/PlacesEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

PlacesEnvironment PlacesEnvironment::system()
{
    PlacesEnvironment env;
    env.appDir = QCoreApplication::applicationDirPath();
    const QDir appDir(env.appDir);
    env.installedLayout =
        appDir.dirName() == QLatin1String("bin") &&
        QFileInfo(
            appDir.filePath(QStringLiteral("../share/applications/" VIDLARK_APP_ID ".desktop")))
            .isFile();
    env.homePath = QDir::homePath();
    env.variables = QProcessEnvironment::systemEnvironment();
    // access() rather than the permission bits: root passes them all, yet cannot
    // write to a read-only file system.
    env.isWritable = [](const QString &path) {
        return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
    };
    return env;
}
