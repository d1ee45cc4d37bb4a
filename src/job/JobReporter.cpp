#include "job/JobReporter.h"

#include "job/ProgramState.h"
#include "job/TimeTexts.h"
#include "service/ExtractorRelease.h"
#include "service/FormatTable.h"

#include <QDir>
#include <QStringBuilder>

namespace {

const QString Unable = QStringLiteral("Unable to download this video.");
const QString NoVideo = QStringLiteral("No video to download.");
const QString DownloadingPanel = QStringLiteral("Status: Downloading...");
const QString ErrorPanel = QStringLiteral("Status: Error");
const QString Break = QStringLiteral("\n\r");

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
    m_window.status.setStatusLine(line);
    m_window.status.setStatusPanel(panel);
}

void JobReporter::tellEnd(JobOutcome outcome, const QString &reason, const QString &line,
                          const QString &panel)
{
    // A failure after a Stop or a close is the user's stop: nothing to tell.
    if (std::exchange(m_endTold, true) || isWindingDown(m_state.DownloadState))
        return;
    m_window.ending.jobEnds({outcome, m_state.SaveFileName, reason, line, panel});
}

// The box says what failed; the line and panel keep saying it afterwards.
void JobReporter::failure(const QString &box, const QString &line, const QString &panel,
                          JobOutcome outcome, const QString &details)
{
    tellEnd(outcome, box == Unable ? QString() : box, line, panel);
    if (details.isEmpty())
        m_window.boxes.showError(box);
    else
        m_window.boxes.showErrorDetails(box, details);
    m_window.status.setFailureLine(line);
    m_window.status.setStatusPanel(panel);
}

// Ours for a reason we know, with the extractor's own line behind it; its
// own line alone otherwise; without either, the plain failure. An old
// extractor adds how to update it.
void JobReporter::extractorFailure(const QString &what, const QString &reason,
                                   const ExtractorFailure &extractor, const ExtractorTexts &texts)
{
    const QString ours = extractorFailureText(ClassifyExtractorError(extractor.line));
    const QString words = ours.isEmpty() ? reason : ours;
    QString box = words.isEmpty() ? what : what + Break + words;
    if (extractor.stale)
        box += Break + staleExtractorText(extractor.version);
    const QString details = ours.isEmpty() || extractor.line.isEmpty()
                                ? QString()
                                : QStringLiteral("yt-dlp said: ") + extractor.line;
    if (words.isEmpty())
        failure(box, texts.plainLine, texts.plainPanel, JobOutcome::Failed, details);
    else
        failure(box, texts.plainLine + QLatin1Char(' ') + words,
                QStringLiteral("Status: Error. ") + words, JobOutcome::Failed, details);
}

QString JobReporter::extractorFailureText(ExtractorFailureKind kind)
{
    switch (kind) {
    case ExtractorFailureKind::SignIn:
        return QStringLiteral(
            "The site wants you to sign in, or to show that you are no bot. Sign in to it in "
            "your web browser, then let the extractor use that browser's cookies: "
            "CookiesFromBrowser=firefox (or chromium, chrome, ...) under [Main] in Vidlark.ini, "
            "or vidlark-cli --cookies-from-browser firefox.");
    case ExtractorFailureKind::AgeLimit:
        return QStringLiteral(
            "The video is age-restricted: the site shows it only to a signed-in adult. Sign in "
            "to it in your web browser, then let the extractor use that browser's cookies "
            "(CookiesFromBrowser= in Vidlark.ini, or vidlark-cli --cookies-from-browser).");
    case ExtractorFailureKind::Private:
        return QStringLiteral("The video is private: only the people its owner chose may "
                              "watch it.");
    case ExtractorFailureKind::Removed:
        return QStringLiteral("The video is gone: it was removed, or the link is wrong.");
    case ExtractorFailureKind::Country:
        return QStringLiteral("The video is not available in your country.");
    case ExtractorFailureKind::FormatMissing:
        return QStringLiteral("The video has no format like the one you chose: choose "
                              "another one, or \"best available\".");
    case ExtractorFailureKind::UnsupportedLink:
        return QStringLiteral("The extractor does not know this link: check it, or update "
                              "the extractor.");
    case ExtractorFailureKind::Other:
        break;
    }
    return {};
}

QString JobReporter::staleExtractorText(const QString &version)
{
    return QStringLiteral("yt-dlp %1 is more than %2 days old, and sites change often: update "
                          "it with the Update button (vidlark-cli --update-extractor).")
        .arg(version)
        .arg(ExtractorStaleDays);
}

QString JobReporter::extractorLine(const ExtractorInUse &extractor)
{
    if (extractor.off)
        return QStringLiteral("yt-dlp: turned off");
    if (extractor.program.isEmpty())
        return QStringLiteral("yt-dlp: none found");
    const QString path = QDir::toNativeSeparators(extractor.program);
    if (extractor.version.isEmpty())
        return QStringLiteral("yt-dlp, version unknown (%1)").arg(path);
    return QStringLiteral("yt-dlp %1 (%2)").arg(extractor.version, path);
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
        {QStringLiteral("Downloading... ") % FormatSize(done, m_state.DecimalSeparator) %
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
    m_window.status.setProgressLine({QStringLiteral("Converting media file: ") +
                                         SecToTime(seconds) + QStringLiteral(" of ") +
                                         m_durationText,
                                     ProgressLine::Kind::Conversion, seconds, m_duration});
    m_window.status.setStatusPanel(QStringLiteral("Status: Converting media file..."));
}

void JobReporter::stepFailed(StepFailure failure, const QString &detail)
{
    switch (failure) {
    case StepFailure::ConverterNotStarted:
        tellEnd(JobOutcome::ConversionFailed, detail, {}, {});
        m_window.boxes.showCommandFailure(detail);
        return;
    case StepFailure::ConversionFailed: {
        const QString text = QStringLiteral("Unable to convert this video.");
        tellEnd(JobOutcome::ConversionFailed, text, {}, {});
        m_window.boxes.showError(text);
        return;
    }
    case StepFailure::ConvertedNotKept: {
        const QString text =
            QStringLiteral("Unable to put the converted video into the Download directory.\n\r"
                           "It is kept as ") +
            quoted(QDir::toNativeSeparators(detail));
        tellEnd(JobOutcome::ConversionFailed, text, {}, {});
        m_window.boxes.showError(text);
        return;
    }
    }
}

void JobReporter::extractorFailed(const ExtractorFailure &failure)
{
    m_extractorFailure = failure;
}

void JobReporter::updateStarts()
{
    // No download's end is told for it: the front end hears nothing elsewhere.
    m_endTold = true;
    m_note.clear();
    m_extractorFailure.reset();
    m_state.SaveFileName = ReleaseProgramName;
    status(QStringLiteral("Updating the extractor..."),
           QStringLiteral("Status: Updating the extractor..."));
}

void JobReporter::updateEnds(const ExtractorUpdateReport &report)
{
    const QString path = QDir::toNativeSeparators(report.path);
    QString other;
    if (report.routeOff)
        other = Break + QStringLiteral("Jobs run no extractor: the settings turn it off "
                                       "(Extractor=none or --extractor none).");
    else if (!report.otherInUse.isEmpty())
        other = Break + QStringLiteral("Jobs still run %1, which the settings name (Extractor= "
                                       "or --extractor).")
                            .arg(QDir::toNativeSeparators(report.otherInUse));
    switch (report.outcome) {
    case ExtractorUpdateOutcome::Updated: {
        const QString change =
            report.oldVersion.isEmpty()
                ? QStringLiteral("yt-dlp %1 (none before)").arg(report.newVersion)
                : QStringLiteral("yt-dlp %1 -> %2").arg(report.oldVersion, report.newVersion);
        const QString line = QStringLiteral("The extractor is updated: ") + change;
        m_window.boxes.showInformation(line + Break + QStringLiteral("It is kept in ") + path +
                                       other);
        status(line, QStringLiteral("Status: The extractor is updated"));
        break;
    }
    case ExtractorUpdateOutcome::Current: {
        const QString line =
            QStringLiteral("The extractor is up to date: yt-dlp ") + report.newVersion;
        m_window.boxes.showInformation(line + Break + QStringLiteral("It is kept in ") + path +
                                       other);
        status(line, QStringLiteral("Status: The extractor is up to date"));
        break;
    }
    case ExtractorUpdateOutcome::Stopped:
        updateStopped();
        break;
    default: {
        QString reason;
        QString word;
        const QString detail =
            report.detail.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(report.detail);
        switch (report.outcome) {
        case ExtractorUpdateOutcome::ChecksumRefused:
            reason = QStringLiteral("the download does not match its checksum in %1, so it was "
                                    "refused")
                         .arg(ReleaseChecksumsName) +
                     detail;
            word = QStringLiteral("checksum");
            break;
        case ExtractorUpdateOutcome::DiskFailed:
            reason = QStringLiteral("it could not be written to ") + path + detail;
            word = QStringLiteral("disk");
            break;
        case ExtractorUpdateOutcome::NotRunnable:
            reason = QStringLiteral("the downloaded program does not run here, so it was "
                                    "refused") +
                     detail;
            word = QStringLiteral("it does not run");
            break;
        default:
            reason = QStringLiteral("the release could not be downloaded from ") + report.releases +
                     detail;
            word = QStringLiteral("network");
            break;
        }
        const QString kept = report.oldVersion.isEmpty()
                                 ? QStringLiteral("Nothing was installed.")
                                 : QStringLiteral("The copy in %1 stays as it was (yt-dlp %2).")
                                       .arg(path, report.oldVersion);
        m_window.boxes.showError(QStringLiteral("The extractor is not updated: ") + reason +
                                 QLatin1Char('.') + Break + kept);
        m_window.status.setFailureLine(QStringLiteral("Error: The extractor is not updated (") +
                                       word + QLatin1Char(')'));
        m_window.status.setStatusPanel(ErrorPanel);
        break;
    }
    }
    m_window.progress.EndTaskbarProgress();
}

void JobReporter::updateStopped()
{
    status(QStringLiteral("Update is stopped by the user"),
           QStringLiteral("Status: Update is stopped by the user"));
    m_window.progress.EndTaskbarProgress();
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
