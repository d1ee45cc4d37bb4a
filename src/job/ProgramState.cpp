#include "job/ProgramState.h"

#include "job/FileNames.h"

#include <QLocale>

void StartProgramState(ProgramState &state, const QString &appDir, const QString &tempDir)
{
    state.AppDir = withTrailingSlash(appDir);
    state.TempDir = withTrailingSlash(tempDir);
    if (const QString point = QLocale().decimalPoint(); !point.isEmpty())
        state.DecimalSeparator = point.at(0);
}
