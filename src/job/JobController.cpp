#include "job/JobController.h"

#include "job/Clock.h"
#include "job/ConverterCopy.h"
#include "job/FileNames.h"
#include "job/ListArchive.h"
#include "job/ProgramState.h"
#include "service/FormatTable.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool isExistingFolder(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

} // namespace

JobController::JobController(ProgramState &state, const JobWindow &window, const Clock &clock)
    : m_state(state)
    , m_window(window)
    , m_reporter(state, window)
    , m_pulse(state, window.messages)
    , m_clock(clock)
{
    m_state.DownloadState = dsIdle;
}

JobController::JobController(ProgramState &state, const JobWindow &window, const JobSteps &steps,
                             const Clock &clock)
    : JobController(state, window, clock)
{
    setSteps(steps);
}

std::optional<JobOutcome> JobController::StartButtonClick()
{
    switch (m_state.DownloadState) {
    case dsIdle: {
        if (!m_steps)
            return std::nullopt;
        const JobOutcome outcome = RunDownload();
        if (!m_list)
            return outcome;
        const ResolvedVideo list = *std::exchange(m_list, std::nullopt);
        return runList(list);
    }
    case dsClosing:
        return std::nullopt;
    default:
        cancel(Cancel::Stop);
        return std::nullopt;
    }
}

std::optional<JobOutcome> JobController::StartQueue(const QList<QueuedVideo> &videos)
{
    if (m_state.DownloadState != dsIdle || !m_steps || videos.isEmpty())
        return std::nullopt;
    return runQueue(videos, 0);
}

QString JobController::folderText() const
{
    return m_item && !m_item->folder.isEmpty() ? m_item->folder : m_window.inputs.folderText();
}

JobOutcome JobController::runList(const ResolvedVideo &list)
{
    const QString folder = withTrailingSlash(folderText()) + list.ListFolder;
    if (!QDir().mkpath(folder)) {
        m_reporter.listFolderFailed(folder);
        return JobOutcome::Failed;
    }
    const ListArchive archive(withTrailingSlash(folder));
    QList<QueuedVideo> videos;
    int savedBefore = 0;
    for (const ListEntry &entry : list.ListEntries) {
        if (archive.holds(entry.Key))
            ++savedBefore;
        else
            videos.append({entry.Link, folder, entry.Key});
    }
    return runQueue(videos, savedBefore);
}

JobOutcome JobController::runQueue(const QList<QueuedVideo> &videos, int savedBefore)
{
    QueueTally tally{static_cast<int>(videos.size()), 0, savedBefore};
    // Each video is asked in the chosen format, whatever an earlier one stepped down to.
    const int format = m_window.inputs.formatIndex();
    try {
        for (qsizetype i = 0; i < videos.size() && !m_closed; ++i) {
            const QueuedVideo &video = videos[i];
            m_item = video;
            m_window.inputs.setFormatIndex(format);
            m_reporter.queuePlace(static_cast<int>(i + 1), tally.count);
            const JobOutcome outcome = RunDownload();
            if (outcome == JobOutcome::Completed) {
                ++tally.saved;
                if (!video.archiveKey.isEmpty())
                    ListArchive(withTrailingSlash(video.folder)).add(video.archiveKey);
            } else if (outcome != JobOutcome::Stopped) {
                tally.failures.append({video.link, m_reporter.takeVideoFailure()});
            } else if (!m_closed) {
                const int remaining = tally.count - static_cast<int>(i) - 1;
                if (remaining == 0 || !m_reporter.askGoOn(remaining)) {
                    tally.stopped = true;
                    break;
                }
            }
        }
    } catch (...) {
        m_item.reset();
        m_reporter.queuePlace(0, 0);
        throw;
    }
    m_item.reset();
    tally.stopped = tally.stopped || m_closed;
    return m_reporter.queueEnds(tally, m_closed);
}

void JobController::beginRun()
{
    m_state.TotalSize = 0;
    m_reporter.inputsLocked(true);
    m_state.DownloadState = dsDownloading;
    m_state.StartTick = m_clock.tickCount();
    m_reporter.timerRuns(true);
    m_run = Run();
}

std::optional<JobOutcome> JobController::UpdateExtractorClick()
{
    if (m_state.DownloadState != dsIdle || !m_upkeep)
        return std::nullopt;
    m_reporter.updateStarts();
    // Its progress is shown as a download's.
    beginRun();
    ExtractorUpdateReport report;
    try {
        report = m_upkeep->UpdateExtractor();
    } catch (...) {
        EndUpdate(nullptr);
        throw;
    }
    return EndUpdate(&report);
}

JobOutcome JobController::EndUpdate(const ExtractorUpdateReport *report)
{
    m_reporter.inputsLocked(false);
    m_reporter.timerRuns(false);
    JobOutcome outcome = JobOutcome::Stopped;
    if (report && m_state.DownloadState != dsClosing) {
        switch (report->outcome) {
        case ExtractorUpdateOutcome::Updated:
        case ExtractorUpdateOutcome::Current:
            outcome = JobOutcome::Completed;
            break;
        case ExtractorUpdateOutcome::Stopped:
            outcome = JobOutcome::Stopped;
            break;
        default:
            // A failure that follows a Stop is still the user's stop.
            outcome = m_run.userStopped ? JobOutcome::Stopped : JobOutcome::Failed;
            break;
        }
        if (outcome == JobOutcome::Stopped)
            m_reporter.updateStopped();
        else
            m_reporter.updateEnds(*report);
    }
    m_state.DownloadState = dsIdle;
    return outcome;
}

ExtractorInUse JobController::DescribeExtractor()
{
    return m_upkeep ? m_upkeep->DescribeExtractor() : ExtractorInUse();
}

void JobController::cancel(Cancel how)
{
    if (how == Cancel::Close) {
        m_closed = true;
        m_state.DownloadState = dsClosing;
        return;
    }
    if (m_state.DownloadState == dsIdle || m_state.DownloadState == dsClosing)
        return;
    m_state.DownloadState = dsStopRequested;
    m_run.userStopped = true;
}

void JobController::Timer1Timer()
{
    m_reporter.elapsed(m_clock.tickCount() - m_state.StartTick);
}

JobOutcome JobController::RunDownload()
{
    const JobSteps &steps = *m_steps;
    m_reporter.jobStarts();
    if (!isExistingFolder(folderText())) {
        m_reporter.folderMissing();
        return JobOutcome::Failed;
    }

    steps.antiFreeze.setAntiFreezeActive(true);
    beginRun();

    // From here on every way out, an escaping error included, runs the end report.
    try {
        runSteps(steps);
    } catch (...) {
        // The report names only a file that exists: a conversion that an
        // error left unfinished leaves the download under its own name.
        m_run.targetExtension.clear();
        EndReport();
        throw;
    }
    return EndReport();
}

void JobController::windDownAfterFailure()
{
    // A failure that follows a Stop or a close is still the user's stop.
    m_run.userStopped = m_run.userStopped || isWindingDown(m_state.DownloadState);
    m_run.failed = true;
    m_state.DownloadState = dsStopRequested;
}

void JobController::runSteps(const JobSteps &steps)
{
    m_state.DownloadState = dsResolving;
    // A queued video is one video, never a list again.
    steps.resolver.offerLists(!m_item);
    ResolvedVideo video = steps.resolver.ResolveVideo(linkText());
    if (!video.ListEntries.isEmpty() && !m_item && m_state.DownloadState == dsResolving) {
        if (m_reporter.askWholeList(video.ListEntries.size())) {
            m_list = std::move(video);
            m_run.handedOn = true;
            return;
        }
        steps.resolver.offerLists(false);
        video = steps.resolver.ResolveVideo(linkText());
    }
    m_state.SaveFileName = video.SaveFileName;

    if (m_state.DownloadState == dsResolving)
        m_state.DownloadState = dsDownloading;
    else if (m_state.DownloadState == dsStopRequested)
        return;

    if (video.StreamUrl.isEmpty()) {
        m_reporter.noVideo(video.FailureReason, video.ExtractorFailed);
        windDownAfterFailure();
        return;
    }

    m_reporter.downloadBegins();
    const QString saveDir = withTrailingSlash(folderText());
    const TransferResult transfer =
        steps.transfer.DownloadVideo(video, saveDir + m_state.SaveFileName);
    m_run.transferResult = transfer == TransferResult::Done;
    // A route that stopped on the user's Stop has nothing to report but that.
    if (transfer == TransferResult::Stopped)
        return;
    if (!m_run.transferResult) {
        m_reporter.transferEnded(transfer);
        windDownAfterFailure();
        return;
    }

    // A stop requested during the transfer does not prevent the conversion.
    if (m_state.DownloadState == dsClosing)
        return;
    if (!video.AudioTarget.isEmpty()) {
        // An audio row's file is taken out of the download, whatever the boxes say.
        m_run.targetExtension = video.AudioTarget;
    } else {
        const bool toAvi = m_window.inputs.aviBoxChecked();
        const bool toMp4 = m_window.inputs.mp4BoxChecked();
        if ((!toAvi && !toMp4) || !isConvertibleFormat(m_window.inputs.formatIndex()))
            return;
        m_run.targetExtension = toAvi ? QStringLiteral(".avi") : QStringLiteral(".mp4");
    }
    m_state.DownloadState = dsConverting;
    m_reporter.conversionBegins();
    steps.antiFreeze.setAntiFreezeActive(false);
    const ConversionOutcome outcome = steps.conversion.RunConversion(
        {saveDir, m_state.SaveFileName, video.DefaultName, m_run.targetExtension,
         ConverterFolder(m_state), m_state.AppDir, m_state.TempDir, video.CopiesAudio});
    if (outcome == ConversionOutcome::ConverterMissing) {
        m_reporter.converterMissing();
        m_state.DownloadState = dsStopRequested;
        m_run.failed = true;
    }
    // Without a conversion the download keeps its own name.
    if (outcome != ConversionOutcome::Finished) {
        m_run.targetExtension.clear();
        m_run.conversionFailed = true;
    }
}

JobOutcome JobController::EndReport()
{
    RemoveConverterCopy(ConverterFolder(m_state));
    m_reporter.inputsLocked(false);
    m_reporter.timerRuns(false);

    if (!m_run.targetExtension.isEmpty())
        m_state.SaveFileName = ChangeFileExt(m_state.SaveFileName, m_run.targetExtension);

    const TDownloadState state = m_state.DownloadState;
    JobOutcome outcome = JobOutcome::Stopped;
    JobReporter::Ending ending = JobReporter::Ending::Stopped;
    if (m_run.handedOn) {
        ending = JobReporter::Ending::HandedOn;
    } else if (!m_run.transferResult && state == dsDownloading) {
        ending = JobReporter::Ending::Unable;
        outcome = JobOutcome::Failed;
    } else if (state == dsDownloading || state == dsConverting) {
        ending = JobReporter::Ending::Completed;
        outcome = m_run.conversionFailed ? JobOutcome::ConversionFailed : JobOutcome::Completed;
    } else if (m_run.failed && !m_run.userStopped && state != dsClosing) {
        // The failure's own texts stay: it was no stop of the user's.
        ending = JobReporter::Ending::Failed;
        outcome = m_run.conversionFailed ? JobOutcome::ConversionFailed : JobOutcome::Failed;
    }
    m_reporter.endReport(ending, outcome);
    m_state.DownloadState = dsIdle;
    return outcome;
}
