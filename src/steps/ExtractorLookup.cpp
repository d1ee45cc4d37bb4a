#include "steps/ExtractorLookup.h"

#include "job/FormatChoice.h"
#include "service/ExtractorFormats.h"
#include "service/ExtractorInfo.h"
#include "service/ExtractorOutput.h"
#include "service/FileNaming.h"
#include "service/FormatTable.h"
#include "steps/ExtractorProcess.h"
#include "steps/ExtractorProgram.h"
#include "steps/StepDown.h"

#include <utility>

namespace {

ResolvedVideo notFound(const QString &reason)
{
    ResolvedVideo video;
    video.FailureReason = reason;
    return video;
}

QString reasonOfEnd(const ExtractorProcess::Result &run, int timeLimitMs)
{
    switch (run.end) {
    case ExtractorProcess::End::NotStarted:
        return QStringLiteral("The extractor could not be started.");
    case ExtractorProcess::End::TimedOut:
        return QStringLiteral("The extractor gave no answer within %1 seconds.")
            .arg(timeLimitMs / 1000);
    case ExtractorProcess::End::TooMuchOutput:
        return QStringLiteral("The extractor's answer is too long.");
    case ExtractorProcess::End::Stopped:
    case ExtractorProcess::End::Exited:
        break;
    }
    if (const QString line = ExtractorErrorLine(run.errors); !line.isEmpty())
        return line;
    if (run.crashed)
        return QStringLiteral("The extractor ended unexpectedly.");
    return QStringLiteral("The extractor ended with exit code %1.").arg(run.exitCode);
}

} // namespace

ExtractorLookup::ExtractorLookup(FormatChoice &formats, JobPulse &pulse, DateSource now)
    : m_formats(formats)
    , m_pulse(pulse)
    , m_now(std::move(now))
{}

ResolvedVideo ExtractorLookup::ResolveVideo(const QString &program, const QString &link)
{
    const QString target = link.trimmed();
    // "--" keeps a link that starts with "-" from reading as an option.
    const QStringList arguments = ExtractorCommonArguments()
                                  << QStringLiteral("-J") << QStringLiteral("--") << target;
    ExtractorProcess::Options options;
    options.timeLimitMs = m_timeLimitMs;
    options.outputLimit = AnswerLimit;
    const ExtractorProcess::Result run = ExtractorProcess(m_pulse).run(program, arguments, options);
    if (run.end == ExtractorProcess::End::Stopped)
        return {};
    if (run.end != ExtractorProcess::End::Exited || run.crashed || run.exitCode != 0)
        return notFound(reasonOfEnd(run, m_timeLimitMs));

    const ExtractorInfoResult parsed = ParseExtractorInfo(run.output);
    if (!parsed.info)
        return notFound(parsed.error);
    const ExtractorInfo &info = *parsed.info;

    std::optional<ChosenExtractorFormat> chosen;
    const bool found = TrySelectedFormat(m_formats, [&](int i) {
        chosen = ChooseExtractorFormat(info.Formats, i);
        if (!chosen)
            m_formats.offerStepDown(i, formatAt(i)->StepDownQuestion);
        return chosen.has_value();
    });
    if (!found || !chosen)
        return {};

    const VideoFileNames names =
        NameExtractorVideoFiles(info.Title, chosen->SuffixRow, m_now(), chosen->FileExtension);
    ResolvedVideo video;
    video.SaveFileName = names.SaveFileName;
    video.DefaultName = names.DefaultName;
    video.PageLink = target;
    video.AudioTarget = chosen->AudioTarget;
    video.CopiesAudio = chosen->CopiesAudio;
    if (chosen->OwnTransfer) {
        video.StreamUrl = chosen->Url;
        video.StreamHeaders = chosen->Headers;
    } else {
        video.StreamUrl = target;
        video.Fetch = StreamFetch::Extractor;
        video.ExtractorFormat = chosen->Selector;
        video.ExtractorMergeFormat = chosen->MergeFormat;
        video.ExtractorInfoJson = run.output;
    }
    return video;
}
