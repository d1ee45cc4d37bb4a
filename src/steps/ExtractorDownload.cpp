#include "steps/ExtractorDownload.h"

#include "job/ProgramState.h"
#include "job/TimeTexts.h"
#include "service/ExtractorOutput.h"
#include "steps/ExtractorProcess.h"
#include "steps/ExtractorProgram.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

// The target's name with ".incoming" before its extension, so that the
// extractor, which goes by the extension, still writes the right container.
QString stagingStem(const QString &path)
{
    const QFileInfo target(path);
    const QString suffix = target.suffix();
    const QString stem = suffix.isEmpty() ? path : path.chopped(suffix.size() + 1);
    return stem + QStringLiteral(".incoming");
}

QString extensionOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    return suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix;
}

} // namespace

ExtractorDownload::ExtractorDownload(ProgramState &state, const JobWindow &window)
    : m_state(state)
    , m_window(window)
{}

QString ExtractorDownload::StagingPath(const QString &path)
{
    return stagingStem(path) + extensionOf(path);
}

bool ExtractorDownload::Download(const QString &program, const ResolvedVideo &video,
                                 const QString &path)
{
    QStringList arguments = ExtractorCommonArguments();
    arguments << QStringLiteral("--newline") << QStringLiteral("--progress-template")
              << ExtractorProgressTemplate() << QStringLiteral("--no-mtime") << QStringLiteral("-f")
              << video.ExtractorFormat << QStringLiteral("-o")
              << ExtractorOutputTemplate(stagingStem(path));
    if (!video.ExtractorMergeFormat.isEmpty())
        arguments << QStringLiteral("--merge-output-format") << video.ExtractorMergeFormat;
    arguments << QStringLiteral("--") << video.StreamUrl;

    // As the transfer's work begin does, before anything has arrived.
    m_window.progress.setBarPosition(0);
    m_window.progress.SetProgressMaximum(0);
    m_state.TotalSize = 0;
    m_window.status.setStatusLine(QStringLiteral("Downloading \"") + m_state.SaveFileName +
                                  QLatin1Char('"'));
    m_window.status.setStatusPanel(QStringLiteral("Status: Downloading..."));

    ExtractorProcess::Options options;
    options.onLine = [this](QByteArrayView line) {
        if (const std::optional<ExtractorProgress> progress = ParseExtractorProgress(line))
            showProgress(progress->Received, progress->Total);
    };
    const ExtractorProcess::Result run =
        ExtractorProcess(m_state, m_window.messages).run(program, arguments, options);
    if (run.end != ExtractorProcess::End::Exited || run.crashed || run.exitCode != 0 ||
        m_state.DownloadState == dsClosing)
        return false;

    const QString staged = StagingPath(path);
    if (!QFileInfo(staged).isFile())
        return false;
    // One step: an older file of that name stays until the new one replaces it.
    return std::rename(QFile::encodeName(staged).constData(),
                       QFile::encodeName(path).constData()) == 0;
}

void ExtractorDownload::showProgress(qint64 received, qint64 total)
{
    if (m_state.DownloadState != dsDownloading)
        return;
    const auto low = static_cast<quint32>(static_cast<quint64>(total));
    // Fragmented formats only estimate their size, and the estimate moves.
    if (low != m_state.TotalSize) {
        m_state.TotalSize = low;
        m_window.progress.SetProgressMaximum(static_cast<qint32>(low));
    }
    m_window.progress.ShowTransferProgress(received, m_state.TotalSize);
    const QChar separator = m_state.DecimalSeparator;
    m_window.status.setStatusLine(
        QStringLiteral("Downloading... ") + FormatSize(received, separator) +
        QStringLiteral(" of ") + FormatSize(qint64(m_state.TotalSize), separator) +
        QStringLiteral(" - \"") + m_state.SaveFileName + QLatin1Char('"'));
    m_window.status.setStatusPanel(QStringLiteral("Status: Downloading..."));
}
