#include "job/ProgramState.h"

#include "job/FileNames.h"
#include "job/ProgramPlaces.h"

#include <QLocale>

QString ConverterFolder(const ProgramState &state)
{
    return state.ConverterDir.isEmpty() ? state.AppDir : state.ConverterDir;
}

QString SettingsFile(const ProgramState &state)
{
    return state.SettingsPath.isEmpty() ? state.AppDir + ProgramPlaces::SettingsFileName
                                        : state.SettingsPath;
}

void StartProgramState(ProgramState &state, const QString &appDir, const QString &tempDir,
                       const ProgramPlaces &places)
{
    state.AppDir = withTrailingSlash(appDir);
    state.TempDir = withTrailingSlash(tempDir);
    state.ConverterDir = withTrailingSlash(places.converterDir);
    state.SettingsPath = places.settingsPath;
    if (const QString point = QLocale().decimalPoint(); !point.isEmpty())
        state.DecimalSeparator = point.at(0);
}

void StartProgramState(ProgramState &state, const QString &appDir, const QString &tempDir)
{
    const QString folder = withTrailingSlash(appDir);
    StartProgramState(state, appDir, tempDir,
                      {true, folder + ProgramPlaces::SettingsFileName, folder});
}
