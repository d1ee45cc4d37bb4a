#pragma once

#include "job/JobSteps.h"

#include <QString>

class ExtractorDownload;
class Transfer;

// The download by the way the lookup found it: the program's own transfer
// (with the stream's own request headers, when it names any), or the external
// extractor for a format only it can fetch.
class RoutedTransfer final : public FileTransfer
{
public:
    RoutedTransfer(Transfer &own, ExtractorDownload &extractor, const QString &program);

    TransferResult DownloadToFile(const QString &url, const QString &path) override;
    // A video the extractor described gets the subtitles asked for beside it.
    TransferResult DownloadVideo(const ResolvedVideo &video, const QString &path) override;

    // "en,de", "all", or empty for none.
    void setSubtitles(const QString &languages) { m_subtitles = languages; }

    // Connections of one download on the extractor's route unless the settings name a number.
    static constexpr int ExtractorRouteConnections = 4;

private:
    TransferResult fetch(const ResolvedVideo &video, const QString &path);
    int connections(const ResolvedVideo &video) const;

    Transfer &m_own;
    ExtractorDownload &m_extractor;
    const QString &m_program;
    QString m_subtitles;
};
