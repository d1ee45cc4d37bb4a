#include "convert/ConverterPresets.h"

QStringList presetArguments(const QString &targetExtension)
{
    if (targetExtension == QStringLiteral(".avi"))
        return {QStringLiteral("-vcodec"), QStringLiteral("mpeg4"), QStringLiteral("-vtag"),
                QStringLiteral("xvid"),    QStringLiteral("-b"),    QStringLiteral("650k"),
                QStringLiteral("-g"),      QStringLiteral("300"),   QStringLiteral("-ab"),
                QStringLiteral("128k")};
    // FFmpeg's own AAC encoder: current builds no longer carry libfaac.
    return {QStringLiteral("-acodec"), QStringLiteral("aac"),     QStringLiteral("-ab"),
            QStringLiteral("128k"),    QStringLiteral("-vcodec"), QStringLiteral("libx264"),
            QStringLiteral("-b"),      QStringLiteral("600k")};
}

QStringList converterArguments(const QString &input, const QString &targetExtension,
                               const QString &output)
{
    QStringList arguments{QStringLiteral("-i"), input};
    arguments += presetArguments(targetExtension);
    arguments += output;
    return arguments;
}
