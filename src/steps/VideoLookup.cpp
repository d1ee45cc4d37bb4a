#include "steps/VideoLookup.h"

#include "job/JobBoxes.h"
#include "job/JobInputs.h"
#include "service/FileNaming.h"
#include "service/FormatTable.h"
#include "service/RequestValues.h"
#include "service/ServiceUrls.h"
#include "service/StreamMap.h"
#include "service/TitleTexts.h"
#include "service/VideoLink.h"
#include "steps/ServiceClient.h"

#include <utility>

namespace {

const QString FallbackMarker = QStringLiteral("<title>YouTube - ");

} // namespace

VideoLookup::VideoLookup(ServiceClient &client, JobInputs &inputs, JobBoxes &boxes, DateSource now)
    : m_client(client)
    , m_inputs(inputs)
    , m_boxes(boxes)
    , m_now(std::move(now))
{}

ResolvedVideo VideoLookup::ResolveVideo(const QString &link)
{
    const std::optional<VideoLink> parsed = ParseVideoLink(link);
    if (!parsed)
        return {};

    QString streamUrl = parsed->VideoId;
    QString saveFileName;
    if (!GetStreamInfo(streamUrl, saveFileName))
        return {};

    const QString infoUrl = InfoUrl(parsed->VideoId);
    const VideoFileNames names =
        NameVideoFiles(saveFileName, !streamUrl.isEmpty(), m_inputs.formatIndex(), m_now(),
                       [&] { return FetchMarkedText(infoUrl, FallbackMarker); });
    return {streamUrl, names.SaveFileName, names.DefaultName};
}

bool VideoLookup::GetStreamInfo(QString &StreamUrl, QString &SaveFileName)
{
    const QString videoId = StreamUrl;
    const QString watchUrl = WatchUrl(videoId);
    m_client.setAllowCookies(false);
    m_client.setHandleRedirects(true);
    m_client.setReferer(watchUrl);
    m_client.setUserAgent(WatchPageUserAgent);
    m_client.setAccept(DefaultAccept);
    m_client.setAcceptCharSet(AnyCharSet);
    const HttpText page = m_client.Get(watchUrl + QStringLiteral("&hl=en-GB"), WatchPageLimit);
    m_client.Disconnect();
    if (!page.result.ok())
        return false;

    const std::optional<QStringList> entries = StreamMapEntries(page.text);
    if (!entries)
        return false;

    // Each Yes lowers the selection to the very next index this loop visits.
    // With nothing selected no format is tried and nothing is found.
    bool result = false;
    for (int i = FormatCount - 1; i >= 0; --i) {
        if (i != m_inputs.formatIndex())
            continue;
        const VideoFormat &format = *formatAt(i);
        result = PickStreamUrl(*entries, StreamUrl, format.ItagText, format.StepDownQuestion, i);
    }
    if (!result)
        return false;

    const std::optional<QString> title = FeedTitle(videoId);
    if (!title)
        return false;
    SaveFileName = *title;
    return true;
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
        m_client.Head(StreamUrl);
        if (m_client.ResponseCode() >= 300)
            found = false;
    }

    if (!found && index > 0 && m_boxes.askStepDown(StepDownQuestion))
        m_inputs.setFormatIndex(index - 1);
    return found;
}

std::optional<QString> VideoLookup::FeedTitle(const QString &videoId)
{
    m_client.setConnection(KeepAlive);
    const HttpBytes feed = m_client.GetBytes(FeedUrl(videoId), TitlePageLimit);
    if (!feed.result.ok())
        return std::nullopt;
    return TitleFromFeed(feed.bytes, m_inputs.formatIndex());
}

QString VideoLookup::FetchMarkedText(const QString &url, const QString &marker)
{
    m_client.setHandleRedirects(true);
    m_client.setContentType(FormContentType);
    m_client.setUserAgent(FallbackUserAgent);
    m_client.setConnection(KeepAlive);
    const HttpText page = m_client.Get(url, TitlePageLimit);
    return page.result.ok() ? TextAfterMarker(page.text, marker) : QString();
}
