#include "steps/ExtractorDownload.h"

#include "job/JobPulse.h"
#include "job/JobReport.h"
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

ExtractorDownload::ExtractorDownload(JobReport &report, JobPulse &pulse)
    : m_report(report)
    , m_pulse(pulse)
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
    m_report.transferBegins(0);

    ExtractorProcess::Options options;
    options.onLine = [this](QByteArrayView line) {
        if (const std::optional<ExtractorProgress> progress = ParseExtractorProgress(line)) {
            // Fragmented formats only estimate their size, and the estimate moves.
            m_report.transferTotalChanges(progress->Total);
            m_report.transferProgress(progress->Received);
        }
    };
    const ExtractorProcess::Result run = ExtractorProcess(m_pulse).run(program, arguments, options);
    if (run.end != ExtractorProcess::End::Exited || run.crashed || run.exitCode != 0 ||
        m_pulse.closing())
        return false;

    const QString staged = StagingPath(path);
    if (!QFileInfo(staged).isFile())
        return false;
    // One step: an older file of that name stays until the new one replaces it.
    return std::rename(QFile::encodeName(staged).constData(),
                       QFile::encodeName(path).constData()) == 0;
}
