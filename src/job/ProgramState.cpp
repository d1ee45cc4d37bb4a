#include "job/ProgramState.h"

#include "job/FileNames.h"
#include "job/ProgramPlaces.h"

#include <QFileInfo>
#include <QLocale>

#include <cstdio>

namespace {

// The folder the platform names (TMPDIR) when it exists, else the platform's
// own default; empty when neither does, and then nothing is staged there.
QString usableTempFolder(const QString &reported)
{
    for (const QString &folder : {reported, QStringLiteral(P_tmpdir)}) {
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            return withTrailingSlash(folder);
    }
    return QString();
}

} // namespace

QString ConverterFolder(const ProgramState &state)
{
    return state.ConverterDir.isEmpty() ? state.AppDir : state.ConverterDir;
}

QString SettingsFile(const ProgramState &state)
{
    return state.SettingsPath.isEmpty() ? state.AppDir + ProgramPlaces::SettingsFileName
                                        : state.SettingsPath;
}

QString ManagedExtractor(const ProgramState &state)
{
    return state.ExtractorPath.isEmpty()
               ? state.AppDir + QStringLiteral("extractor/") + ProgramPlaces::ExtractorName
               : state.ExtractorPath;
}

QString HelpPage(const ProgramState &state)
{
    return state.HelpPage.isEmpty() ? state.AppDir + ProgramPlaces::HelpPageName : state.HelpPage;
}

void StartProgramState(ProgramState &state, const QString &appDir, const QString &tempDir,
                       const ProgramPlaces &places)
{
    state.AppDir = withTrailingSlash(appDir);
    state.TempDir = usableTempFolder(tempDir);
    state.ConverterDir = withTrailingSlash(places.converterDir);
    state.SettingsPath = places.settingsPath;
    state.ExtractorPath = places.extractorPath;
    state.HelpPage = places.helpPage;
    if (const QString point = QLocale().decimalPoint(); !point.isEmpty())
        state.DecimalSeparator = point.at(0);
}

void StartProgramState(ProgramState &state, const QString &appDir, const QString &tempDir)
{
    const QString folder = withTrailingSlash(appDir);
    StartProgramState(state, appDir, tempDir,
                      {true, folder + ProgramPlaces::SettingsFileName, folder,
                       folder + QStringLiteral("extractor/") + ProgramPlaces::ExtractorName,
                       folder + ProgramPlaces::HelpPageName});
}
