#include "steps/RoutedTransfer.h"

#include "steps/ExtractorDownload.h"
#include "steps/Transfer.h"

RoutedTransfer::RoutedTransfer(Transfer &own, ExtractorDownload &extractor, const QString &program)
    : m_own(own)
    , m_extractor(extractor)
    , m_program(program)
{}

bool RoutedTransfer::DownloadToFile(const QString &url, const QString &path)
{
    return m_own.DownloadToFile(url, path);
}

bool RoutedTransfer::DownloadVideo(const ResolvedVideo &video, const QString &path)
{
    if (video.Fetch == StreamFetch::Extractor)
        return !m_program.isEmpty() && m_extractor.Download(m_program, video, path);
    m_own.setStreamHeaders(video.StreamHeaders);
    return m_own.DownloadToFile(video.StreamUrl, path);
}
