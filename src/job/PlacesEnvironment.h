#pragma once

#include <QProcessEnvironment>
#include <QString>

#include <functional>

// What deciding between the portable and the installed mode reads from the
// system, replaceable in tests.
struct PlacesEnvironment
{
    QString appDir; // the program's folder
    QString homePath;
    QProcessEnvironment variables; // XDG_CONFIG_HOME, XDG_RUNTIME_DIR, XDG_CACHE_HOME
    // The program lies in PREFIX/bin with its desktop entry in PREFIX/share/applications:
    // it was installed, whether or not this process may write there.
    bool installedLayout = false;
    // Whether this process may write the file or folder (a read-only mount says no, also to root).
    std::function<bool(const QString &path)> isWritable;

    // The running program's folder, home and environment.
    static PlacesEnvironment system();
};
