#include "steps/VideoLookup.h"

#include "job/FormatChoice.h"
#include "service/FileNaming.h"
#include "service/FormatTable.h"
#include "service/RequestValues.h"
#include "service/ServiceUrls.h"
#include "service/StreamMap.h"
#include "service/TitleTexts.h"
#include "service/VideoLink.h"
#include "steps/ServiceClient.h"
#include "steps/StepDown.h"

#include <utility>

namespace {

const QString FallbackMarker = QStringLiteral("<title>YouTube - ");

} // namespace

VideoLookup::VideoLookup(ServiceClient &client, FormatChoice &formats, DateSource now)
    : m_client(client)
    , m_formats(formats)
    , m_now(std::move(now))
{}

ResolvedVideo VideoLookup::ResolveVideo(const QString &link)
{
    m_lastMiss = LookupMiss::None;
    const std::optional<VideoLink> parsed = ParseVideoLink(link);
    if (!parsed) {
        m_lastMiss = LookupMiss::UnknownLink;
        return {};
    }

    QString streamUrl;
    QString saveFileName;
    if (!GetStreamInfo(parsed->VideoId, streamUrl, saveFileName)) {
        if (m_lastMiss == LookupMiss::None)
            m_lastMiss = LookupMiss::Other;
        return {};
    }

    const QString infoUrl = InfoUrl(parsed->VideoId);
    const VideoFileNames names = NameVideoFiles(
        saveFileName, !streamUrl.isEmpty(), m_nameRow, m_now(),
        [&] { return FetchMarkedText(infoUrl, FallbackMarker); },
        formatAt(m_streamRow)->FileExtension);
    ResolvedVideo video{streamUrl, names.SaveFileName, names.DefaultName};
    // An audio row's file is made from the stream's once it is saved.
    if (const VideoFormat *selected = formatAt(m_formats.selectedFormat());
        selected && selected->Kind == RowKind::Audio) {
        video.AudioTarget = selected->FileExtension;
        video.CopiesAudio = selected->FileExtension == QStringLiteral(".m4a") &&
                            formatAt(m_streamRow)->FileExtension == QStringLiteral(".mp4");
    }
    return video;
}

bool VideoLookup::GetStreamInfo(const QString &videoId, QString &streamUrl, QString &saveFileName)
{
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
    if (!entries) {
        m_lastMiss = LookupMiss::NoStreamMap;
        return false;
    }

    const bool result = TrySelectedFormat(m_formats, [&](int i) {
        const VideoFormat &format = *formatAt(i);
        if (format.Kind == RowKind::Video) {
            // The stream that really comes names the file (the 4K code is 2160p).
            m_streamRow = m_nameRow = rowOfStreamCode(format.ItagText.mid(5).toInt());
            return PickStreamUrl(*entries, streamUrl, format.ItagText, format.StepDownQuestion, i);
        }
        return PickBestStream(*entries, streamUrl, i);
    });
    if (!result)
        return false;

    const std::optional<QString> title = FeedTitle(videoId);
    if (!title)
        return false;
    saveFileName = *title;
    return true;
}

bool VideoLookup::PickStreamUrl(const QStringList &entries, QString &StreamUrl,
                                const QString &ItagText, const QString &StepDownQuestion, int index)
{
    const bool found = checkStream(entries, StreamUrl, ItagText);
    if (!found)
        m_formats.offerStepDown(index, StepDownQuestion);
    return found;
}

bool VideoLookup::checkStream(const QStringList &entries, QString &streamUrl,
                              const QString &itagText)
{
    // An entry without "url=" names no stream: it counts as missing, like no entry.
    const qsizetype entry = FindStreamEntry(entries, itagText);
    const std::optional<QString> url =
        entry < 0 ? std::nullopt : StreamUrlOfEntry(entries.at(entry));
    if (!url)
        return false;
    streamUrl = *url;
    // The check is judged by the status alone; a request that got none
    // leaves the status of the previous response.
    m_client.Head(streamUrl);
    return m_client.ResponseCode() < 300;
}

bool VideoLookup::PickBestStream(const QStringList &entries, QString &streamUrl, int index)
{
    for (const int row : rowsByQuality()) {
        if (checkStream(entries, streamUrl, formatAt(row)->ItagText)) {
            m_streamRow = row;
            // "best" is named after the stream it found, an audio row after itself.
            m_nameRow = formatAt(index)->Kind == RowKind::Best ? row : index;
            return true;
        }
    }
    m_formats.offerStepDown(index, formatAt(index)->StepDownQuestion);
    return false;
}

std::optional<QString> VideoLookup::FeedTitle(const QString &videoId)
{
    m_client.setConnection(KeepAlive);
    const HttpBytes feed = m_client.GetBytes(FeedUrl(videoId), TitlePageLimit);
    if (!feed.result.ok())
        return std::nullopt;
    return TitleFromFeed(feed.bytes, m_nameRow);
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
