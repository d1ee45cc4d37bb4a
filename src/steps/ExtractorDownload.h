#pragma once

#include "job/JobSteps.h"

#include <QString>

class JobPulse;
class JobReport;

// Fetches a format the external extractor must fetch itself (HLS or DASH
// fragments, video and audio to merge) with the extractor as a child process,
// and reports its progress as the transfer reports its own. It takes the lock
// of the target's partial file, as the own transfer does. The extractor
// writes a fixed name into a private folder of ours beside the target, so
// that no text of the page ever reaches its output template; its own partial
// files stay there for the next run, and the finished file is moved onto the
// target in one rename.
class ExtractorDownload
{
public:
    ExtractorDownload(JobReport &report, JobPulse &pulse);

    // resume false starts afresh, without what an earlier run of it left;
    // fragments are fetched that many at once.
    TransferResult Download(const QString &program, const ResolvedVideo &video, const QString &path,
                            bool resume, int fragments = 1);

    // The subtitles of the video at link in languages ("en,de" or "all"),
    // converted to SRT and saved as NAME.LANG.srt beside the file at path (its
    // site's own first, automatic ones where it has none); the languages it
    // lacks are reported as a note.
    void FetchSubtitles(const QString &program, const QString &link, const QString &path,
                        const QString &languages);

    // The folder the extractor writes in for a target: hidden, beside it (on
    // the same file system), the same for every run that saves that name.
    static QString StagingFolder(const QString &path);
    // The extractor's output template in that folder.
    static inline const QString OutputName = QStringLiteral("video.%(ext)s");
    // The lookup's answer in that folder, for the download to read.
    static inline const QString InfoName = QStringLiteral("info.json");
    static constexpr int SubtitleTimeLimitMs = 60000;

    // The browser whose cookies the extractor reads (CookieBrowserArgument); empty: none.
    void setCookiesFromBrowser(const QString &browser) { m_cookiesFromBrowser = browser; }

private:
    JobReport &m_report;
    JobPulse &m_pulse;
    QString m_cookiesFromBrowser;
};
