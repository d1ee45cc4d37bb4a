#include "steps/ExtractorLookup.h"

#include "job/FormatChoice.h"
#include "job/JobPulse.h"
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
    return resolve(program, link, m_offerLists);
}

ResolvedVideo ExtractorLookup::resolve(const QString &program, const QString &link, bool offerLists)
{
    const QString target = link.trimmed();
    // A list is read flat (its entries' links only); one video of it, the
    // first, is read whole.
    const QStringList listArguments =
        offerLists
            ? QStringList{QStringLiteral("--yes-playlist"), QStringLiteral("--flat-playlist")}
            : QStringList{QStringLiteral("--playlist-items"), QStringLiteral("1")};
    // "--" keeps a link that starts with "-" from reading as an option.
    const QStringList arguments = ExtractorCommonArguments(m_cookiesFromBrowser)
                                  << listArguments << QStringLiteral("-J") << QStringLiteral("--")
                                  << target;
    ExtractorProcess::Options options;
    options.timeLimitMs = m_timeLimitMs;
    options.outputLimit = AnswerLimit;
    const ExtractorProcess::Result run = ExtractorProcess(m_pulse).run(program, arguments, options);
    if (run.end == ExtractorProcess::End::Stopped)
        return {};
    if (run.end != ExtractorProcess::End::Exited || run.crashed || run.exitCode != 0) {
        ResolvedVideo failed = notFound(reasonOfEnd(run, m_timeLimitMs));
        if (run.end != ExtractorProcess::End::NotStarted)
            failed.ExtractorFailed =
                DescribeExtractorFailure(program, run.errors, m_pulse, m_now().date());
        return failed;
    }

    const ExtractorInfoResult parsed = ParseExtractorInfo(run.output);
    if (offerLists && parsed.list && parsed.list->Entries.size() > 1) {
        ResolvedVideo list;
        list.ListFolder = ListFolderName(parsed.list->Title, parsed.list->Id);
        for (const ExtractorListEntry &entry : parsed.list->Entries)
            list.ListEntries.append({entry.Link, entry.Id.isEmpty() ? entry.Link : entry.Id});
        return list;
    }
    // A list of one: its video is read whole.
    if (offerLists && parsed.list)
        return m_pulse.windingDown() ? ResolvedVideo() : resolve(program, link, false);
    if (!parsed.info) {
        ResolvedVideo failed = notFound(parsed.error);
        failed.ExtractorFailed =
            DescribeExtractorFailure(program, run.errors, m_pulse, m_now().date());
        return failed;
    }
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
