#include "job/JobController.h"

#include "job/Clock.h"
#include "job/ConverterCopy.h"
#include "job/FileNames.h"
#include "job/ProgramState.h"
#include "job/TimeTexts.h"
#include "service/FormatTable.h"

#include <QFileInfo>

namespace {

bool isExistingFolder(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

} // namespace

JobController::JobController(ProgramState &state, const JobWindow &window, const JobSteps &steps,
                             const Clock &clock)
    : m_state(state)
    , m_window(window)
    , m_steps(steps)
    , m_clock(clock)
{}

std::optional<JobOutcome> JobController::StartButtonClick()
{
    switch (m_state.DownloadState) {
    case dsIdle:
        return RunDownload();
    case dsClosing:
        return std::nullopt;
    default:
        m_state.DownloadState = dsStopRequested;
        m_run.userStopped = true;
        return std::nullopt;
    }
}

void JobController::Timer1Timer()
{
    m_window.status.setElapsedPanel(FormatElapsed(m_clock.tickCount() - m_state.StartTick));
}

void JobController::report(const QString &statusLine, const QString &statusPanel)
{
    m_window.status.setStatusLine(statusLine);
    m_window.status.setStatusPanel(statusPanel);
}

JobOutcome JobController::RunDownload()
{
    report(QStringLiteral("Start downloading..."), QStringLiteral("Status: Start downloading..."));

    if (!isExistingFolder(m_window.inputs.folderText())) {
        m_window.boxes.showError(QStringLiteral("Please set the Download directory."));
        report(QStringLiteral("Error. Please set a Download directory."),
               QStringLiteral("Status: Error. Please set a Download directory."));
        return JobOutcome::Failed;
    }

    m_steps.antiFreeze.setAntiFreezeActive(true);
    m_state.TotalSize = 0;
    PrepareToStart(m_window);
    m_state.DownloadState = dsDownloading;
    m_state.StartTick = m_clock.tickCount();
    m_window.status.setTimerEnabled(true);
    m_run = Run();

    // From here on every way out, an escaping error included, runs the end report.
    try {
        runSteps();
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

void JobController::runSteps()
{
    m_state.DownloadState = dsResolving;
    const ResolvedVideo video = m_steps.resolver.ResolveVideo(m_window.inputs.linkText());
    m_state.SaveFileName = video.SaveFileName;

    if (m_state.DownloadState == dsResolving)
        m_state.DownloadState = dsDownloading;
    else if (m_state.DownloadState == dsStopRequested)
        return;

    if (video.StreamUrl.isEmpty()) {
        m_window.boxes.showError(QStringLiteral("No video to download."));
        report(QStringLiteral("Error. No video to download."),
               QStringLiteral("Status: Error. No video to download."));
        windDownAfterFailure();
        return;
    }

    report(QStringLiteral("Downloading \"") + m_state.SaveFileName + QLatin1Char('"'),
           QStringLiteral("Status: Downloading"));
    const QString saveDir = withTrailingSlash(m_window.inputs.folderText());
    const TransferResult transfer =
        m_steps.transfer.DownloadToFile(video.StreamUrl, saveDir + m_state.SaveFileName);
    m_run.transferResult = transfer == TransferResult::Done;
    if (transfer == TransferResult::FileInUse) {
        m_window.boxes.showError(QStringLiteral("Another download is saving this video."));
        report(QStringLiteral("Error: Another download is saving \"") + m_state.SaveFileName +
                   QLatin1Char('"'),
               QStringLiteral("Status: Error"));
        windDownAfterFailure();
        return;
    }
    if (!m_run.transferResult) {
        m_window.boxes.showError(QStringLiteral("Unable to download this video."));
        report(QStringLiteral("Error: Unable to download this video."),
               QStringLiteral("Status: Error"));
        windDownAfterFailure();
        return;
    }

    // A stop requested during the transfer does not prevent the conversion.
    if (m_state.DownloadState == dsClosing)
        return;
    const bool toAvi = m_window.inputs.aviBoxChecked();
    const bool toMp4 = m_window.inputs.mp4BoxChecked();
    if ((!toAvi && !toMp4) || !isConvertibleFormat(m_window.inputs.formatIndex()))
        return;

    m_run.targetExtension = toAvi ? QStringLiteral(".avi") : QStringLiteral(".mp4");
    m_state.DownloadState = dsConverting;
    m_window.progress.BeginConversionProgress();
    m_steps.antiFreeze.setAntiFreezeActive(false);
    const ConversionOutcome outcome = m_steps.conversion.RunConversion(
        {saveDir, m_state.SaveFileName, video.DefaultName, m_run.targetExtension});
    if (outcome == ConversionOutcome::ConverterMissing)
        m_run.failed = true;
    // A converter that failed on its own leaves the download under its own name.
    if (outcome == ConversionOutcome::ConverterFailed) {
        m_run.targetExtension.clear();
        m_run.conversionFailed = true;
    }
}

JobOutcome JobController::EndReport()
{
    RemoveConverterCopy(ConverterFolder(m_state));
    PrepareToStop(m_window);
    m_window.status.setTimerEnabled(false);

    if (!m_run.targetExtension.isEmpty())
        m_state.SaveFileName = ChangeFileExt(m_state.SaveFileName, m_run.targetExtension);

    JobOutcome outcome = JobOutcome::Stopped;
    const TDownloadState state = m_state.DownloadState;
    if (!m_run.transferResult && state == dsDownloading) {
        m_window.boxes.showError(QStringLiteral("Unable to download this video."));
        report(QStringLiteral("Error: Unable to download this video."),
               QStringLiteral("Status: Error"));
        outcome = JobOutcome::Failed;
    } else if (state == dsDownloading || state == dsConverting) {
        m_window.boxes.showInformation(QStringLiteral("Download is complete\n\rCheck \"") +
                                       m_state.SaveFileName + QLatin1Char('"'));
        report(QStringLiteral("Download is complete: ") + m_state.SaveFileName,
               QStringLiteral("Status: Download is complete"));
        outcome = m_run.conversionFailed ? JobOutcome::ConversionFailed : JobOutcome::Completed;
    } else {
        report(QStringLiteral("Download is stopped by the user"),
               QStringLiteral("Status: Download is stopped by the user"));
        const bool userStopped = m_run.userStopped || state == dsClosing;
        outcome = m_run.failed && !userStopped ? JobOutcome::Failed : JobOutcome::Stopped;
    }

    m_window.progress.EndTaskbarProgress();
    m_state.DownloadState = dsIdle;
    return outcome;
}
