#pragma once

#include "job/JobSteps.h"

#include <QString>

class JobPulse;
class JobReport;

// Fetches a format the external extractor must fetch itself (HLS or DASH
// fragments, video and audio to merge) with the extractor as a child process,
// and shows its progress as the transfer shows its own. The extractor writes
// under a name of its own beside the target; the target appears only once the
// extractor has finished, in one rename.
class ExtractorDownload
{
public:
    ExtractorDownload(JobReport &report, JobPulse &pulse);

    // True when the extractor ended by itself with success and the file stands
    // at path.
    bool Download(const QString &program, const ResolvedVideo &video, const QString &path);

    // The name the extractor writes under, for a target path.
    static QString StagingPath(const QString &path);

private:
    JobReport &m_report;
    JobPulse &m_pulse;
};
