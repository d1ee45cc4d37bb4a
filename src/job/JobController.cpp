#include "job/JobController.h"

#include "job/Clock.h"
#include "job/FileNames.h"
#include "job/JobWindow.h"
#include "job/ProgramState.h"
#include "job/TimeTexts.h"
#include "service/FormatTable.h"

#include <QFile>
#include <QFileInfo>

namespace {

bool isExistingFolder(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

const QString ConverterFileName = QStringLiteral("ffmpeg.exe");

} // namespace

JobController::JobController(ProgramState &state, JobWindow &window, VideoResolver &resolver,
                             FileTransfer &transfer, ConversionStep &conversion, const Clock &clock)
    : m_state(state)
    , m_window(window)
    , m_resolver(resolver)
    , m_transfer(transfer)
    , m_conversion(conversion)
    , m_clock(clock)
{}

void JobController::StartButtonClick()
{
    switch (m_state.DownloadState) {
    case dsIdle:
        RunDownload();
        break;
    case dsClosing:
        break;
    default:
        m_state.DownloadState = dsStopRequested;
        break;
    }
}

void JobController::Timer1Timer()
{
    m_window.setElapsedPanel(FormatElapsed(m_clock.tickCount() - m_state.StartTick));
}

void JobController::report(const QString &statusLine, const QString &statusPanel)
{
    m_window.setStatusLine(statusLine);
    m_window.setStatusPanel(statusPanel);
}

void JobController::RunDownload()
{
    report(QStringLiteral("Start downloading..."), QStringLiteral("Status: Start downloading..."));

    if (!isExistingFolder(m_window.folderText())) {
        m_window.showError(QStringLiteral("Please set the Download directory."));
        report(QStringLiteral("Error. Please set a Download directory."),
               QStringLiteral("Status: Error. Please set a Download directory."));
        return;
    }

    m_window.setAntiFreezeActive(true);
    m_state.TotalSize = 0;
    m_window.PrepareToStart();
    m_state.DownloadState = dsDownloading;
    m_state.StartTick = m_clock.tickCount();
    m_window.setTimerEnabled(true);

    // From here on every way out, an escaping error included, runs the end report.
    bool transferResult = false;
    QString targetExtension;
    try {
        runSteps(transferResult, targetExtension);
    } catch (...) {
        EndReport(transferResult, targetExtension);
        throw;
    }
    EndReport(transferResult, targetExtension);
}

void JobController::runSteps(bool &transferResult, QString &targetExtension)
{
    m_state.DownloadState = dsResolving;
    const QString link = m_window.linkText();
    QString streamUrl;
    QString defaultName;
    m_resolver.ResolveVideo(link, streamUrl, m_state.SaveFileName, defaultName);

    if (m_state.DownloadState == dsResolving)
        m_state.DownloadState = dsDownloading;
    else if (m_state.DownloadState == dsStopRequested)
        return;

    if (streamUrl.isEmpty()) {
        m_window.showError(QStringLiteral("No video to download."));
        report(QStringLiteral("Error. No video to download."),
               QStringLiteral("Status: Error. No video to download."));
        m_state.DownloadState = dsStopRequested;
        return;
    }

    report(QStringLiteral("Downloading \"") + m_state.SaveFileName + QLatin1Char('"'),
           QStringLiteral("Status: Downloading"));
    const QString saveDir = withTrailingSlash(m_window.folderText());
    transferResult = m_transfer.DownloadToFile(streamUrl, saveDir + m_state.SaveFileName);
    if (!transferResult) {
        m_window.showError(QStringLiteral("Unable to download this video."));
        report(QStringLiteral("Error: Unable to download this video."),
               QStringLiteral("Status: Error"));
        m_state.DownloadState = dsStopRequested;
        return;
    }

    // A stop requested during the transfer does not prevent the conversion.
    if (m_state.DownloadState == dsClosing)
        return;
    const bool toAvi = m_window.aviBoxChecked();
    const bool toMp4 = m_window.mp4BoxChecked();
    if ((!toAvi && !toMp4) || !isConvertibleFormat(m_window.formatIndex()))
        return;

    targetExtension = toAvi ? QStringLiteral(".avi") : QStringLiteral(".mp4");
    m_state.DownloadState = dsConverting;
    m_window.BeginConversionProgress();
    m_window.setAntiFreezeActive(false);
    const ConversionOutcome outcome =
        m_conversion.RunConversion({saveDir, m_state.SaveFileName, defaultName, targetExtension});
    // A converter that failed on its own leaves the download under its own name.
    if (outcome == ConversionOutcome::ConverterFailed)
        targetExtension.clear();
}

void JobController::EndReport(bool transferResult, const QString &targetExtension)
{
    const QString converter = m_state.AppDir + ConverterFileName;
    if (QFileInfo::exists(converter))
        QFile::remove(converter);

    m_window.PrepareToStop();
    m_window.setTimerEnabled(false);

    if (!targetExtension.isEmpty())
        m_state.SaveFileName = ChangeFileExt(m_state.SaveFileName, targetExtension);

    const TDownloadState state = m_state.DownloadState;
    if (!transferResult && state == dsDownloading) {
        m_window.showError(QStringLiteral("Unable to download this video."));
        report(QStringLiteral("Error: Unable to download this video."),
               QStringLiteral("Status: Error"));
    } else if (state == dsDownloading || state == dsConverting) {
        m_window.showInformation(QStringLiteral("Download is complete\n\rCheck \"") +
                                 m_state.SaveFileName + QLatin1Char('"'));
        report(QStringLiteral("Download is complete: ") + m_state.SaveFileName,
               QStringLiteral("Status: Download is complete"));
    } else {
        report(QStringLiteral("Download is stopped by the user"),
               QStringLiteral("Status: Download is stopped by the user"));
    }

    m_window.EndTaskbarProgress();
    m_state.DownloadState = dsIdle;
}
