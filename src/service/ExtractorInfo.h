#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

// One format of a video as the external extractor (yt-dlp -J) describes it.
struct ExtractorFormat
{
    QString FormatId;
    QString Url;
    QString Protocol;     // "http", "https", "m3u8_native", "http_dash_segments", ...
    QString Extension;    // the container, without the dot: "mp4", "webm", ...
    int Height = 0;       // 0 when unknown
    bool HasVideo = true; // false only when the extractor says "none"
    bool HasAudio = true;
    QString AudioCodec; // as the extractor names it ("mp4a.40.2", "opus"); empty when unknown
    double Bitrate = 0; // total, kbit/s; 0 when unknown
    QList<std::pair<QByteArray, QByteArray>> Headers; // its own request headers: name, value
};

struct ExtractorInfo
{
    QString Title;
    QList<ExtractorFormat> Formats; // in the extractor's order, worst first
};

// A video of a list, with a link of its own (http or https).
struct ExtractorListEntry
{
    QString Id; // may be empty
    QString Link;
};

struct ExtractorList
{
    QString Title;
    QString Id;
    QList<ExtractorListEntry> Entries; // in the list's order
};

struct ExtractorInfoResult
{
    std::optional<ExtractorInfo> info;
    QString error;                     // one line, when there is neither info nor list
    std::optional<ExtractorList> list; // a playlist answer with entries that have links
};

// Reads the extractor's JSON answer. A playlist answer gives its entries that
// have a link of their own, and counts as its first video where that entry is
// described in place; anything but an object, or a video without a format,
// gives an error.
ExtractorInfoResult ParseExtractorInfo(const QByteArray &json);
