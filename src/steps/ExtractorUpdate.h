#pragma once

#include "job/JobSteps.h"

#include <QString>

class HttpClient;
class JobPulse;
class JobReport;

// Updates the managed copy of the external extractor from a release folder:
// first its checksum list (SHA2-256SUMS); then, unless the copy there is the
// release's already, the program (yt-dlp) into a new file beside the copy,
// checked against the list's line for it, made executable, asked its version
// and only then renamed onto the copy. A refused, failed or stopped update
// leaves the copy there as it was, and no new file behind. The program's
// download reports its progress as the transfer does; a Stop or a close ends
// it. The requests carry none of the lookup's settings (referer, agent) and
// no cookies.
class ExtractorUpdate
{
public:
    // The extractor project's latest release, as its own page links it.
    static inline const QString DefaultReleases =
        QStringLiteral("https://github.com/yt-dlp/yt-dlp/releases/latest/download");
    static constexpr qint64 ChecksumsLimit = qint64(1) << 20;
    static constexpr qint64 ProgramLimit = qint64(256) << 20;

    ExtractorUpdate(HttpClient &client, JobReport &report, JobPulse &pulse);

    // releases: the folder's URL, with a final "/" or without; target: the
    // managed copy's path. Its folder is made when missing.
    ExtractorUpdateReport run(const QString &releases, const QString &target);

private:
    HttpClient &m_client;
    JobReport &m_report;
    JobPulse &m_pulse;
};
