#include "service/VideoLookup.h"

#include "service/FileNaming.h"
#include "service/FormatTable.h"
#include "service/LookupWindow.h"
#include "service/RequestValues.h"
#include "service/ServiceClient.h"
#include "service/ServiceUrls.h"
#include "service/StreamMap.h"
#include "service/TitleTexts.h"
#include "service/VideoLink.h"

#include <exception>
#include <optional>
#include <utility>

namespace {

const QString FallbackMarker = QStringLiteral("<title>YouTube - ");

} // namespace

VideoLookup::VideoLookup(ServiceClient &client, LookupWindow &window, DateSource now)
    : m_client(client)
    , m_window(window)
    , m_now(std::move(now))
{}

void VideoLookup::ResolveVideo(const QString &link, QString &StreamUrl, QString &SaveFileName,
                               QString &DefaultName)
{
    StreamUrl.clear();
    SaveFileName.clear();
    const std::optional<VideoLink> parsed = ParseVideoLink(link);
    if (!parsed)
        return;

    StreamUrl = parsed->VideoId;
    if (!GetStreamInfo(StreamUrl, SaveFileName)) {
        StreamUrl.clear();
        return;
    }

    const QString infoUrl = InfoUrl(parsed->VideoId);
    const VideoFileNames names =
        NameVideoFiles(SaveFileName, !StreamUrl.isEmpty(), m_window.formatIndex(), m_now(),
                       [&] { return FetchMarkedText(infoUrl, FallbackMarker); });
    SaveFileName = names.SaveFileName;
    DefaultName = names.DefaultName;
}

bool VideoLookup::GetStreamInfo(QString &StreamUrl, QString &SaveFileName)
{
    const QString videoId = StreamUrl;
    try {
        const QString watchUrl = WatchUrl(videoId);
        m_client.setAllowCookies(false);
        m_client.setHandleRedirects(true);
        m_client.setReferer(watchUrl);
        m_client.setUserAgent(WatchPageUserAgent);
        m_client.setAccept(DefaultAccept);
        m_client.setAcceptCharSet(AnyCharSet);
        QString page;
        try {
            page = m_client.Get(watchUrl + QStringLiteral("&hl=en-GB"));
        } catch (...) {
            m_client.Disconnect();
            throw;
        }
        m_client.Disconnect();

        const std::optional<QStringList> entries = StreamMapEntries(page);
        if (!entries)
            return false;

        // Each Yes lowers the selection to the very next index this loop visits.
        // With nothing selected no format is tried and nothing is found.
        bool result = false;
        for (int i = FormatCount - 1; i >= 0; --i) {
            if (i != m_window.formatIndex())
                continue;
            const VideoFormat &format = *formatAt(i);
            result =
                PickStreamUrl(*entries, StreamUrl, format.ItagText, format.StepDownQuestion, i);
        }
        if (!result)
            return false;

        SaveFileName = FeedTitle(videoId);
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

bool VideoLookup::PickStreamUrl(const QStringList &entries, QString &StreamUrl,
                                const QString &ItagText, const QString &StepDownQuestion, int index)
{
    // An entry without "url=" names no stream: it counts as missing, like no entry.
    const qsizetype entry = FindStreamEntry(entries, ItagText);
    const std::optional<QString> url =
        entry < 0 ? std::nullopt : StreamUrlOfEntry(entries.at(entry));

    bool found = url.has_value();
    if (found) {
        StreamUrl = *url;
        // The check is judged by the status alone; a request that got none
        // leaves the status of the previous response.
        try {
            m_client.Head(StreamUrl);
        } catch (const std::exception &) {
        }
        if (m_client.ResponseCode() >= 300)
            found = false;
    }

    if (!found && index > 0 && m_window.askStepDown(StepDownQuestion))
        m_window.setFormatIndex(index - 1);
    return found;
}

QString VideoLookup::FeedTitle(const QString &videoId)
{
    m_client.setConnection(KeepAlive);
    return TitleFromFeed(m_client.GetBytes(FeedUrl(videoId)), m_window.formatIndex());
}

QString VideoLookup::FetchMarkedText(const QString &url, const QString &marker)
{
    try {
        m_client.setHandleRedirects(true);
        m_client.setContentType(FormContentType);
        m_client.setUserAgent(FallbackUserAgent);
        m_client.setConnection(KeepAlive);
        return TextAfterMarker(m_client.Get(url), marker);
    } catch (const std::exception &) {
        return QString();
    }
}
