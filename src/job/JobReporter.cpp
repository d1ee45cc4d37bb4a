#include "job/JobReporter.h"

#include "job/ProgramState.h"
#include "job/TimeTexts.h"
#include "service/FormatTable.h"

#include <QDir>
#include <QStringBuilder>

namespace {

const QString Unable = QStringLiteral("Unable to download this video.");
const QString NoVideo = QStringLiteral("No video to download.");
const QString DownloadingPanel = QStringLiteral("Status: Downloading...");
const QString ErrorPanel = QStringLiteral("Status: Error");

QString quoted(const QString &name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

QString retryText(const RetryWait &wait)
{
    const QString when = QStringLiteral(", retrying in %1 s (%2 of %3)...")
                             .arg(wait.seconds)
                             .arg(wait.attempt)
                             .arg(wait.attempts);
    switch (wait.cause) {
    case RetryCause::ServerError:
        return QStringLiteral("Server error %1").arg(wait.status) + when;
    case RetryCause::ConnectionFailed:
        return QStringLiteral("Connection failed") + when;
    case RetryCause::ConnectionLost:
        break;
    }
    return QStringLiteral("Connection lost") + when;
}

} // namespace

JobReporter::JobReporter(ProgramState &state, const JobWindow &window)
    : m_state(state)
    , m_window(window)
{}

void JobReporter::status(const QString &line, const QString &panel)
{
    m_window.status.setStatusLine(placed(line));
    m_window.status.setStatusPanel(panel);
}

void JobReporter::tellEnd(JobOutcome outcome, const QString &reason, const QString &line,
                          const QString &panel)
{
    // A failure after a Stop or a close is the user's stop: nothing to tell.
    // A queue tells its end once, in its summary.
    if (queued() || std::exchange(m_endTold, true) || isWindingDown(m_state.DownloadState))
        return;
    m_window.ending.jobEnds({outcome, m_state.SaveFileName, reason, line, panel});
}

// The box says what failed; the line and panel keep saying it afterwards.
void JobReporter::failure(const QString &box, const QString &line, const QString &panel,
                          JobOutcome outcome, const QString &details)
{
    if (queued()) {
        // The queue goes on; its summary says what failed.
        m_videoFailure = QString(box).replace(QStringLiteral("\n\r"), QStringLiteral(" "));
        status(line, panel);
        return;
    }
    tellEnd(outcome, box == Unable ? QString() : box, line, panel);
    if (details.isEmpty())
        m_window.boxes.showError(box);
    else
        m_window.boxes.showErrorDetails(box, details);
    m_window.status.setFailureLine(line);
    m_window.status.setStatusPanel(panel);
}

void JobReporter::jobStarts()
{
    m_endTold = false;
    m_note.clear();
    m_extractorFailure.reset();
    status(QStringLiteral("Start downloading..."), QStringLiteral("Status: Start downloading..."));
}

void JobReporter::folderMissing()
{
    // No job ran: the box answers the user's own click, nothing is told elsewhere.
    m_endTold = true;
    failure(QStringLiteral("Please set the Download directory."),
            QStringLiteral("Error. Please set a Download directory."),
            QStringLiteral("Status: Error. Please set a Download directory."));
}

void JobReporter::inputsLocked(bool locked)
{
    if (locked)
        PrepareToStart(m_window);
    else
        PrepareToStop(m_window);
}

void JobReporter::timerRuns(bool on)
{
    m_window.status.setTimerEnabled(on);
}

void JobReporter::noVideo(const QString &reason, const std::optional<ExtractorFailure> &extractor)
{
    if (extractor) {
        extractorFailure(NoVideo, reason, *extractor,
                         {QStringLiteral("Error. No video to download."),
                          QStringLiteral("Status: Error. No video to download.")});
        return;
    }
    // The reason (the extractor's, say) is part of what the user reads and keeps.
    if (reason.isEmpty()) {
        failure(NoVideo, QStringLiteral("Error. No video to download."),
                QStringLiteral("Status: Error. No video to download."));
        return;
    }
    failure(NoVideo + QStringLiteral("\n\r") + reason,
            QStringLiteral("Error. No video to download. ") + reason,
            QStringLiteral("Status: Error. ") + reason);
}

void JobReporter::downloadBegins()
{
    status(QStringLiteral("Downloading ") + quoted(m_state.SaveFileName),
           QStringLiteral("Status: Downloading"));
}

void JobReporter::transferEnded(TransferResult result)
{
    const QString &name = m_state.SaveFileName;
    switch (result) {
    case TransferResult::FileInUse:
        failure(QStringLiteral("Another download is saving this video."),
                QStringLiteral("Error: Another download is saving ") + quoted(name), ErrorPanel);
        return;
    case TransferResult::DiskFull:
        failure(QStringLiteral("The disk is full."), QStringLiteral("Error: The disk is full."),
                ErrorPanel);
        return;
    case TransferResult::TargetIsFolder:
    case TransferResult::PartIsFolder: {
        const QString folder =
            quoted(result == TransferResult::PartIsFolder ? name + QStringLiteral(".part") : name) +
            QStringLiteral(" is a folder.");
        failure(folder, QStringLiteral("Error: ") + folder, ErrorPanel);
        return;
    }
    case TransferResult::Failed:
        transferFailed();
        return;
    case TransferResult::Done:
    case TransferResult::Stopped:
        return;
    }
}

void JobReporter::transferFailed()
{
    if (const std::optional<ExtractorFailure> extractor = std::exchange(m_extractorFailure, {})) {
        extractorFailure(Unable, extractor->line, *extractor,
                         {QStringLiteral("Error: Unable to download this video."), ErrorPanel});
        return;
    }
    failure(Unable, QStringLiteral("Error: Unable to download this video."), ErrorPanel);
}

void JobReporter::conversionBegins()
{
    m_window.progress.BeginConversionProgress();
}

void JobReporter::converterMissing()
{
    // The download is saved; only its conversion could not be made.
    failure(QStringLiteral("Can't find ffmpeg.exe"), QStringLiteral("Error. Can't find ffmpeg.exe"),
            ErrorPanel, JobOutcome::ConversionFailed);
}

void JobReporter::endReport(Ending ending, JobOutcome outcome)
{
    switch (ending) {
    case Ending::Unable:
        transferFailed();
        break;
    case Ending::Completed: {
        const QString line =
            QStringLiteral("Download is complete: ") + m_state.SaveFileName + m_note;
        const QString panel = QStringLiteral("Status: Download is complete");
        tellEnd(outcome, QString(), line, panel);
        if (!queued())
            m_window.boxes.showInformation(QStringLiteral("Download is complete\n\rCheck ") +
                                           quoted(m_state.SaveFileName));
        status(line, panel);
        break;
    }
    case Ending::Stopped:
        status(QStringLiteral("Download is stopped by the user"),
               QStringLiteral("Status: Download is stopped by the user"));
        break;
    case Ending::Failed:
    case Ending::HandedOn:
        break;
    }
    m_window.progress.EndTaskbarProgress();
}

void JobReporter::elapsed(quint32 milliseconds)
{
    m_window.status.setElapsedPanel(FormatElapsed(milliseconds));
}

void JobReporter::transferBegins(qint64 total)
{
    if (m_state.DownloadState != dsDownloading)
        return;
    const auto low = static_cast<quint32>(static_cast<quint64>(total));
    m_window.progress.setBarPosition(0);
    m_window.progress.SetProgressMaximum(static_cast<qint32>(low));
    m_state.TotalSize = low;
    status(QStringLiteral("Downloading ") + quoted(m_state.SaveFileName), DownloadingPanel);
}

void JobReporter::transferTotalChanges(qint64 total)
{
    const auto low = static_cast<quint32>(static_cast<quint64>(total));
    if (m_state.DownloadState != dsDownloading || low == m_state.TotalSize)
        return;
    m_state.TotalSize = low;
    m_window.progress.SetProgressMaximum(static_cast<qint32>(low));
}

void JobReporter::transferProgress(qint64 done)
{
    if (m_state.DownloadState != dsDownloading)
        return;
    m_window.progress.ShowTransferProgress(done, m_state.TotalSize);
    // Built in one allocation (QStringBuilder's %): this runs for every piece.
    m_window.status.setProgressLine(
        {m_place % QStringLiteral("Downloading... ") % FormatSize(done, m_state.DecimalSeparator) %
             QStringLiteral(" of ") % totalText() % QStringLiteral(" - \"") % m_state.SaveFileName %
             QLatin1Char('"'),
         ProgressLine::Kind::Transfer, done, qint64(m_state.TotalSize)});
    m_window.status.setStatusPanel(DownloadingPanel);
    m_window.messages.processMessages();
}

const QString &JobReporter::totalText()
{
    const auto bytes = qint64(m_state.TotalSize);
    const QChar separator = m_state.DecimalSeparator;
    if (m_total.bytes != bytes || m_total.separator != separator)
        m_total = {bytes, separator, FormatSize(bytes, separator)};
    return m_total.text;
}

void JobReporter::retryWaits(const RetryWait &wait)
{
    if (m_state.DownloadState != dsDownloading)
        return;
    status(retryText(wait), QStringLiteral("Status: Retrying..."));
}

void JobReporter::conversionStarts(qint32 duration, const QString &durationText)
{
    m_duration = duration;
    m_durationText = durationText;
    m_window.progress.SetProgressMaximum(duration);
}

void JobReporter::conversionProgress(qint32 seconds)
{
    m_window.progress.ShowConversionProgress(seconds, m_duration);
    m_window.status.setProgressLine({m_place + QStringLiteral("Converting media file: ") +
                                         SecToTime(seconds) + QStringLiteral(" of ") +
                                         m_durationText,
                                     ProgressLine::Kind::Conversion, seconds, m_duration});
    m_window.status.setStatusPanel(QStringLiteral("Status: Converting media file..."));
}

void JobReporter::stepFailed(StepFailure failure, const QString &detail)
{
    QString text = detail;
    if (failure == StepFailure::ConversionFailed)
        text = QStringLiteral("Unable to convert this video.");
    else if (failure == StepFailure::ConvertedNotKept)
        text = QStringLiteral("Unable to put the converted video into the Download directory.\n\r"
                              "It is kept as ") +
               quoted(QDir::toNativeSeparators(detail));
    if (queued()) {
        m_videoFailure = text.replace(QStringLiteral("\n\r"), QStringLiteral(" "));
        return;
    }
    tellEnd(JobOutcome::ConversionFailed, text, {}, {});
    if (failure == StepFailure::ConverterNotStarted)
        m_window.boxes.showCommandFailure(text);
    else
        m_window.boxes.showError(text);
}

void JobReporter::subtitlesMissing(const QStringList &languages)
{
    m_note = QStringLiteral(" - no subtitles in ") + languages.join(QStringLiteral(", "));
}

int JobReporter::selectedFormat() const
{
    return m_window.inputs.formatIndex();
}

void JobReporter::offerStepDown(int index, const QString &question)
{
    const VideoFormat *format = formatAt(index);
    if (format && format->StepDownTo >= 0 && m_window.boxes.askStepDown(question))
        m_window.inputs.setFormatIndex(format->StepDownTo);
}

void JobReporter::queuePlace(int item, int count)
{
    m_place = count > 0 ? QStringLiteral("Video %1 of %2: ").arg(item).arg(count) : QString();
    m_videoFailure.clear();
}

bool JobReporter::askWholeList(qsizetype count)
{
    return m_window.boxes.askQuestion(
        JobQuestion::WholeList,
        QStringLiteral("This link holds a list of %1 videos. Download all of them?").arg(count));
}

bool JobReporter::askGoOn(int remaining)
{
    return m_window.boxes.askQuestion(
        JobQuestion::GoOn,
        remaining == 1
            ? QStringLiteral("Should I go on with the remaining video?")
            : QStringLiteral("Should I go on with the remaining %1 videos?").arg(remaining));
}

void JobReporter::listFolderFailed(const QString &folder)
{
    failure(QStringLiteral("Unable to make the folder ") +
                quoted(QDir::toNativeSeparators(folder)) + QLatin1Char('.'),
            QStringLiteral("Error: Unable to make the folder ") + quoted(folder), ErrorPanel);
}

JobOutcome JobReporter::queueEnds(const QueueTally &tally, bool closing)
{
    queuePlace(0, 0);
    const auto videos = [](int n) {
        return n == 1 ? QStringLiteral("video") : QStringLiteral("videos");
    };
    QString summary;
    if (tally.count == 0 && tally.savedBefore > 0)
        summary =
            QStringLiteral("Nothing new to download: the %1 %2 of this list were saved before.")
                .arg(tally.savedBefore)
                .arg(videos(tally.savedBefore));
    else
        summary = QStringLiteral("Saved %1 of %2 %3.")
                      .arg(tally.saved)
                      .arg(tally.count)
                      .arg(videos(tally.count));
    if (tally.count > 0 && tally.savedBefore > 0)
        summary +=
            QStringLiteral(" %1 more %2 saved before.")
                .arg(tally.savedBefore)
                .arg(tally.savedBefore == 1 ? QStringLiteral("was") : QStringLiteral("were"));
    QString details = summary;
    for (const auto &[link, reason] : tally.failures)
        details += QStringLiteral("\n\r") + link + QStringLiteral(": ") +
                   (reason.isEmpty() ? Unable : reason);

    // A video the user stopped and went on from is not saved either.
    JobOutcome outcome = JobOutcome::Completed;
    if (tally.stopped)
        outcome = JobOutcome::Stopped;
    else if (!tally.failures.isEmpty())
        outcome = JobOutcome::Failed;
    else if (tally.saved < tally.count)
        outcome = JobOutcome::Stopped;
    if (closing) {
        m_window.progress.EndTaskbarProgress();
        return outcome;
    }
    const QString panel =
        outcome == JobOutcome::Completed ? QStringLiteral("Status: Download is complete")
        : outcome == JobOutcome::Stopped ? QStringLiteral("Status: Download is stopped by the user")
                                         : ErrorPanel;
    m_endTold = false;
    if (outcome != JobOutcome::Stopped)
        m_window.ending.jobEnds({outcome, summary, details, summary, panel});
    if (outcome == JobOutcome::Failed)
        m_window.boxes.showError(details);
    else
        m_window.boxes.showInformation(details);
    status(summary, panel);
    m_window.progress.EndTaskbarProgress();
    return outcome;
}
