#pragma once

#include "job/DownloadState.h"

#include <QChar>
#include <QString>

struct ProgramPlaces;

// The program-wide values, one copy each, owned by the window (or the console
// front end) and shared by reference with every piece of the job.
struct ProgramState
{
    TDownloadState DownloadState = dsIdle;
    QString AppDir;  // the program's folder, ending with "/"
    QString TempDir; // the user's temporary folder, ending with "/"; empty when none
    // Where the converter copy is written, ending with "/": AppDir when the
    // program runs portable (also when left empty), a private folder when installed.
    QString ConverterDir;
    // The settings file of the window program; beside it when left empty.
    QString SettingsPath;
    // The managed copy of the external extractor, which its update installs;
    // AppDir's extractor/yt-dlp when left empty.
    QString ExtractorPath;
    // The help page; AppDir's help.html when left empty.
    QString HelpPage;
    QString SaveFileName;  // file name of the download, without folder
    quint32 TotalSize = 0; // byte count announced by the current transfer
    quint32 StartTick = 0; // tick count at job start
    // Decimal separator of the user's locale, taken once at start-up.
    QChar DecimalSeparator = QLatin1Char('.');
};

// The folder of the converter copy and the settings file, each beside the
// program unless the state names another place.
QString ConverterFolder(const ProgramState &state);
QString SettingsFile(const ProgramState &state);
// The managed extractor copy and the help page, beside the program unless
// the state names another place.
QString ManagedExtractor(const ProgramState &state);
QString HelpPage(const ProgramState &state);

// Start-up of the values both front ends share: the program's and the
// temporary folder (each given a final "/"; a temporary folder that does not
// exist gives way to the platform's default), the places of the settings and
// of the converter copy, the locale's decimal separator.
void StartProgramState(ProgramState &state, const QString &appDir, const QString &tempDir,
                       const ProgramPlaces &places);
// The same for a program that runs portable.
void StartProgramState(ProgramState &state, const QString &appDir, const QString &tempDir);
