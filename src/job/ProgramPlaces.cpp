#include "job/ProgramPlaces.h"

#include "job/FileNames.h"
#include "job/PlacesEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cerrno>
#include <sys/stat.h>

namespace {

const QString OwnFolder = QStringLiteral("vidlark");

// An XDG base folder from the environment; a relative one is to be ignored.
QString baseFolder(const PlacesEnvironment &env, const char *variable, const QString &fallback)
{
    const QString value = env.variables.value(QString::fromLatin1(variable));
    return !value.isEmpty() && QDir::isAbsolutePath(value) ? value : fallback;
}

// A folder only we can enter: the converter copy is a program that gets run.
bool makePrivateFolder(const QString &path)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat info = {};
    // A link could point anywhere; only a real folder of our own will do.
    if (::lstat(native.constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::geteuid())
        return false;
    return (info.st_mode & 07777) == 0700 || ::chmod(native.constData(), 0700) == 0;
}

QString installedConverterDir(const PlacesEnvironment &env)
{
    QStringList candidates;
    const QString runtime = baseFolder(env, "XDG_RUNTIME_DIR", {});
    if (!runtime.isEmpty())
        candidates << runtime + QLatin1Char('/') + OwnFolder;
    candidates << baseFolder(env, "XDG_CACHE_HOME", env.homePath + QStringLiteral("/.cache")) +
                      QLatin1Char('/') + OwnFolder;
    for (const QString &candidate : candidates)
        if (makePrivateFolder(candidate))
            return withTrailingSlash(candidate);
    // Nowhere to write it: a conversion then reports the converter as missing.
    return withTrailingSlash(candidates.last());
}

} // namespace

ProgramPlaces ProgramPlaces::decide(const PlacesEnvironment &env)
{
    const QString appDir = withTrailingSlash(env.appDir);
    const QString besideProgram = appDir + SettingsFileName;
    // An installed program stays out of its folder even where it may write
    // there (run by root, or installed into a prefix of the user's own),
    // unless a settings file beside it asks for the portable mode.
    const QString helpPage =
        env.installedLayout
            ? QDir::cleanPath(appDir + QStringLiteral("../share/doc/vidlark/") + HelpPageName)
            : appDir + HelpPageName;
    if ((QFileInfo(besideProgram).isFile() && env.isWritable(besideProgram)) ||
        (!env.installedLayout && env.isWritable(appDir)))
        return {true, besideProgram, appDir, appDir + QStringLiteral("extractor/") + ExtractorName,
                helpPage};

    const QString config =
        baseFolder(env, "XDG_CONFIG_HOME", env.homePath + QStringLiteral("/.config"));
    const QString data =
        baseFolder(env, "XDG_DATA_HOME", env.homePath + QStringLiteral("/.local/share"));
    return {false, config + QStringLiteral("/Vidlark/") + SettingsFileName,
            installedConverterDir(env),
            data + QLatin1Char('/') + OwnFolder + QLatin1Char('/') + ExtractorName, helpPage};
}
