#pragma once

#include <QString>

struct PlacesEnvironment;

// Where the program keeps its settings file, its converter copy and its
// managed extractor copy, decided once at start-up, and where its help page
// lies. Portable (a settings file beside the program is writable, or the
// program's folder is and the program was not installed): all beside the
// program, the extractor in "extractor/". Installed: the settings under
// $XDG_CONFIG_HOME/Vidlark, the converter copy in a private per-user folder,
// the extractor in $XDG_DATA_HOME/vidlark (~/.local/share/vidlark). The help
// page of an installed layout is PREFIX/share/doc/vidlark/help.html, else
// the one beside the program.
struct ProgramPlaces
{
    static inline const QString SettingsFileName = QStringLiteral("Vidlark.ini");
    static inline const QString HelpPageName = QStringLiteral("help.html");
    static inline const QString ExtractorName = QStringLiteral("yt-dlp");

    bool portable = true;
    QString settingsPath;  // the INI file
    QString converterDir;  // ends with "/"
    QString extractorPath; // the managed extractor copy; empty: appDir/extractor/yt-dlp
    QString helpPage;      // empty: appDir/help.html

    // Creates the installed mode's converter folder (mode 0700) on the way:
    // $XDG_RUNTIME_DIR/vidlark, else $XDG_CACHE_HOME/vidlark (~/.cache/vidlark).
    static ProgramPlaces decide(const PlacesEnvironment &env);
};
