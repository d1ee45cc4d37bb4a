#pragma once

#include <QString>

struct PlacesEnvironment;

// Where the program keeps its settings file and its converter copy, decided
// once at start-up. Portable (a settings file beside the program is writable,
// or the program's folder is and the program was not installed): both beside
// the program. Installed: the settings under $XDG_CONFIG_HOME/Vidlark and the
// converter copy in a private per-user folder.
struct ProgramPlaces
{
    static inline const QString SettingsFileName = QStringLiteral("Vidlark.ini");

    bool portable = true;
    QString settingsPath; // the INI file
    QString converterDir; // ends with "/"

    // Creates the installed mode's converter folder (mode 0700) on the way:
    // $XDG_RUNTIME_DIR/vidlark, else $XDG_CACHE_HOME/vidlark (~/.cache/vidlark).
    static ProgramPlaces decide(const PlacesEnvironment &env);
};
