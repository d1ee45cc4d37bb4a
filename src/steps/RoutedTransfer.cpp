#include "steps/RoutedTransfer.h"

#include "net/RequestLine.h"
#include "steps/ExtractorDownload.h"
#include "steps/Transfer.h"

RoutedTransfer::RoutedTransfer(Transfer &own, ExtractorDownload &extractor, const QString &program)
    : m_own(own)
    , m_extractor(extractor)
    , m_program(program)
{}

TransferResult RoutedTransfer::DownloadToFile(const QString &url, const QString &path)
{
    return m_own.DownloadToFile(url, path);
}

TransferResult RoutedTransfer::DownloadVideo(const ResolvedVideo &video, const QString &path)
{
    const TransferResult result = fetch(video, path);
    if (result == TransferResult::Done && !m_subtitles.isEmpty() && !video.PageLink.isEmpty() &&
        !m_program.isEmpty())
        m_extractor.FetchSubtitles(m_program, video.PageLink, path, m_subtitles);
    return result;
}

TransferResult RoutedTransfer::fetch(const ResolvedVideo &video, const QString &path)
{
    if (video.Fetch == StreamFetch::Extractor) {
        if (m_program.isEmpty())
            return TransferResult::Failed;
        return m_extractor.Download(m_program, video, path, m_own.settings().resume,
                                    connections(video));
    }
    if (video.StreamHeaders.isEmpty())
        return m_own.DownloadToFile(video.StreamUrl, path, connections(video));
    // The stream's own headers, with the request settings as they stand.
    HttpRequest::Headers headers;
    for (const auto &[name, value] : video.StreamHeaders) {
        if (isSafeExtraHeader(name, value))
            headers.append({name, value});
    }
    return m_own.fetch({video.StreamUrl, headers, path, connections(video)});
}

int RoutedTransfer::connections(const ResolvedVideo &video) const
{
    // The built-in route's request table has one stream GET; only the setting adds more.
    const int own = video.PageLink.isEmpty() ? 1 : ExtractorRouteConnections;
    return m_own.settings().connections > 0 ? m_own.settings().connections : own;
}
