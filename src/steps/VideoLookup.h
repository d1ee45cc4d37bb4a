#pragma once

#include "job/JobSteps.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class FormatChoice;
class ServiceClient;

// Turns a link into a checked stream URL and the names to save it under,
// through the shared client; asks the user before stepping down a format.
class VideoLookup final : public VideoResolver
{
public:
    using DateSource = std::function<QDateTime()>;

    // Why the last ResolveVideo found no stream.
    enum class LookupMiss
    {
        None,        // it found one
        UnknownLink, // the link is not one of the service's forms
        NoStreamMap, // the watch page holds no stream map
        Other,       // a request failed, no format answered, the user said No
    };

    // The most each page may bring; a longer one fails as its request would.
    static constexpr qint64 WatchPageLimit = qint64(16) << 20;
    static constexpr qint64 TitlePageLimit = qint64(1) << 20; // the feed and the fallback page

    VideoLookup(ServiceClient &client, FormatChoice &formats,
                DateSource now = &QDateTime::currentDateTime);

    ResolvedVideo ResolveVideo(const QString &link) override;

    // Watch page, stream of the selected format (stepping down on the user's
    // Yes) and the feed title. streamUrl keeps what it held when nothing was found.
    bool GetStreamInfo(const QString &videoId, QString &streamUrl, QString &saveFileName);

    // One format: finds its entry, builds and checks its URL, asks to step down
    // when that fails. True when the stream answered its check.
    bool PickStreamUrl(const QStringList &entries, QString &StreamUrl, const QString &ItagText,
                       const QString &StepDownQuestion, int index);

    // The highest stream of the map that answers its check, for the rows of
    // no stream code of their own ("best", the audio rows).
    bool PickBestStream(const QStringList &entries, QString &streamUrl, int index);

    // The title from the data-API feed with its suffix (may be empty);
    // nothing when the request failed.
    std::optional<QString> FeedTitle(const QString &videoId);

    // The text after `marker` on the page at url, or empty; never fails.
    QString FetchMarkedText(const QString &url, const QString &marker);

    LookupMiss lastMiss() const { return m_lastMiss; }

private:
    // Whether the format's entry names a stream that answers its check.
    bool checkStream(const QStringList &entries, QString &streamUrl, const QString &itagText);

    ServiceClient &m_client;
    FormatChoice &m_formats;
    int m_streamRow = -1; // the row of the stream found
    int m_nameRow = -1;   // the row whose suffix the name takes
    DateSource m_now;
    LookupMiss m_lastMiss = LookupMiss::None;
};
