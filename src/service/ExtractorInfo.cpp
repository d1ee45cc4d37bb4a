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
    return {std::nullopt, error, std::nullopt};
}

bool isWebLink(const QString &link)
{
    return link.startsWith(QStringLiteral("https://"), Qt::CaseInsensitive) ||
           link.startsWith(QStringLiteral("http://"), Qt::CaseInsensitive);
}

// An entry left for later (--flat-playlist) is a link; one described in place
// names its page, never its stream.
QString linkOf(const QJsonObject &entry)
{
    const QString type = entry.value(QStringLiteral("_type")).toString();
    const QString key = type == QStringLiteral("url") || type == QStringLiteral("url_transparent")
                            ? QStringLiteral("url")
                            : QStringLiteral("webpage_url");
    const QString link = entry.value(key).toString();
    return isWebLink(link) && !link.contains(QLatin1Char('\n')) ? link : QString();
}

ExtractorList listOf(const QJsonObject &playlist, const QJsonArray &entries)
{
    ExtractorList list;
    list.Title = playlist.value(QStringLiteral("title")).toString();
    list.Id = playlist.value(QStringLiteral("id")).toString();
    for (const QJsonValue &value : entries) {
        const QJsonObject entry = value.toObject();
        if (const QString link = linkOf(entry); !link.isEmpty())
            list.Entries.append({entry.value(QStringLiteral("id")).toString(), link});
    }
    return list;
}

std::optional<ExtractorInfo> videoOf(const QJsonObject &video)
{
    ExtractorInfo info;
    info.Title = video.value(QStringLiteral("title")).toString();
    const QJsonValue formats = video.value(QStringLiteral("formats"));
    if (formats.isArray()) {
        for (const QJsonValue &format : formats.toArray()) {
            if (format.isObject())
                info.Formats.append(formatOf(format.toObject(), video));
        }
    } else if (video.value(QStringLiteral("url")).isString() &&
               !video.value(QStringLiteral("_type")).toString().startsWith(QStringLiteral("url"))) {
        // A video of one format describes it in place.
        info.Formats.append(formatOf(video, video));
    }
    if (info.Formats.isEmpty())
        return std::nullopt;
    return info;
}

} // namespace

ExtractorInfoResult ParseExtractorInfo(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return failure(QStringLiteral("The extractor's answer is not readable."));

    const QJsonObject answer = document.object();
    const QString noVideo = QStringLiteral("The extractor found no video at this link.");
    if (answer.value(QStringLiteral("_type")).toString() != QStringLiteral("playlist")) {
        std::optional<ExtractorInfo> info = videoOf(answer);
        return info ? ExtractorInfoResult{std::move(info), {}, std::nullopt} : failure(noVideo);
    }
    const QJsonArray entries = answer.value(QStringLiteral("entries")).toArray();
    ExtractorInfoResult result{std::nullopt, {}, listOf(answer, entries)};
    if (!entries.isEmpty() && entries.first().isObject())
        result.info = videoOf(entries.first().toObject());
    if (result.list->Entries.isEmpty())
        result.list.reset();
    if (!result.info && !result.list)
        return failure(noVideo);
    return result;
}
