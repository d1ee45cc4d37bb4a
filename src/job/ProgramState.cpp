#include "job/ProgramState.h"

#include "job/FileNames.h"

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

void StartProgramState(ProgramState &state, const QString &appDir, const QString &tempDir)
{
    state.AppDir = withTrailingSlash(appDir);
    state.TempDir = usableTempFolder(tempDir);
    if (const QString point = QLocale().decimalPoint(); !point.isEmpty())
        state.DecimalSeparator = point.at(0);
}
