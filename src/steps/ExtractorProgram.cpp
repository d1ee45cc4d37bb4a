#include "steps/ExtractorProgram.h"

#include <QStandardPaths>

QString ChooseExtractorProgram(const std::optional<QString> &setting)
{
    const QString named = setting ? setting->trimmed() : QString();
    if (named.compare(QStringLiteral("none"), Qt::CaseInsensitive) == 0)
        return {};
    if (!named.isEmpty())
        return named;
    return QStandardPaths::findExecutable(QStringLiteral("yt-dlp"));
}

QStringList ExtractorCommonArguments()
{
    return {QStringLiteral("--ignore-config"), QStringLiteral("--no-playlist"),
            QStringLiteral("--no-warnings")};
}
