#include "service/ExtractorInfo.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

namespace {

// The extractor writes "none" for a missing codec and null for an unknown one.
bool carries(const QJsonValue &codec)
{
    return codec.toString() != QStringLiteral("none");
}

int heightOf(const QJsonValue &value)
{
    const double height = value.toDouble(0);
    return height >= 1 && height <= 100000 ? static_cast<int>(height) : 0;
}

QList<std::pair<QByteArray, QByteArray>> headersOf(const QJsonObject &object)
{
    QList<std::pair<QByteArray, QByteArray>> headers;
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (it.value().isString())
            headers.append({it.key().toLatin1(), it.value().toString().toUtf8()});
    }
    return headers;
}

ExtractorFormat formatOf(const QJsonObject &object, const QJsonObject &video)
{
    ExtractorFormat format;
    format.FormatId = object.value(QStringLiteral("format_id")).toString();
    format.Url = object.value(QStringLiteral("url")).toString();
    format.Protocol = object.value(QStringLiteral("protocol")).toString();
    format.Extension = object.value(QStringLiteral("ext")).toString();
    format.Height = heightOf(object.value(QStringLiteral("height")));
    format.HasVideo = carries(object.value(QStringLiteral("vcodec")));
    format.HasAudio = carries(object.value(QStringLiteral("acodec")));
    if (format.HasAudio)
        format.AudioCodec = object.value(QStringLiteral("acodec")).toString();
    format.Bitrate = object.value(QStringLiteral("tbr")).toDouble(0);
    const QJsonValue headers = object.contains(QStringLiteral("http_headers"))
                                   ? object.value(QStringLiteral("http_headers"))
                                   : video.value(QStringLiteral("http_headers"));
    format.Headers = headersOf(headers.toObject());
    return format;
}

ExtractorInfoResult failure(const QString &error)
{
    return {std::nullopt, error};
}

} // namespace

ExtractorInfoResult ParseExtractorInfo(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return failure(QStringLiteral("The extractor's answer is not readable."));

    QJsonObject video = document.object();
    if (video.value(QStringLiteral("_type")).toString() == QStringLiteral("playlist")) {
        const QJsonArray entries = video.value(QStringLiteral("entries")).toArray();
        if (entries.isEmpty() || !entries.first().isObject())
            return failure(QStringLiteral("The extractor found no video at this link."));
        video = entries.first().toObject();
    }

    ExtractorInfo info;
    info.Title = video.value(QStringLiteral("title")).toString();
    const QJsonValue formats = video.value(QStringLiteral("formats"));
    if (formats.isArray()) {
        for (const QJsonValue &format : formats.toArray()) {
            if (format.isObject())
                info.Formats.append(formatOf(format.toObject(), video));
        }
    } else if (video.value(QStringLiteral("url")).isString()) {
        // A video of one format describes it in place.
        info.Formats.append(formatOf(video, video));
    }
    if (info.Formats.isEmpty())
        return failure(QStringLiteral("The extractor found no video at this link."));
    return {std::move(info), {}};
}
