#include "convert/ConverterPresets.h"

QStringList presetArguments(const QString &targetExtension, bool copyAudio)
{
    if (targetExtension == QStringLiteral(".m4a"))
        return copyAudio ? QStringList{QStringLiteral("-vn"), QStringLiteral("-acodec"),
                                       QStringLiteral("copy")}
                         : QStringList{QStringLiteral("-vn"), QStringLiteral("-acodec"),
                                       QStringLiteral("aac"), QStringLiteral("-ab"),
                                       QStringLiteral("192k")};
    // LAME's variable bit rate at quality 2, about 190 kbit/s.
    if (targetExtension == QStringLiteral(".mp3"))
        return {QStringLiteral("-vn"), QStringLiteral("-acodec"), QStringLiteral("libmp3lame"),
                QStringLiteral("-q:a"), QStringLiteral("2")};
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
                               const QString &output, bool copyAudio)
{
    QStringList arguments{QStringLiteral("-i"), input};
    arguments += presetArguments(targetExtension, copyAudio);
    arguments += output;
    return arguments;
}
