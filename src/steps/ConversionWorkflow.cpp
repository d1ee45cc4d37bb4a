#include "steps/ConversionWorkflow.h"

#include "convert/ConverterPresets.h"
#include "convert/ConverterSource.h"
#include "job/ConverterCopy.h"
#include "job/FileNames.h"
#include "job/ProgramState.h"
#include "steps/ConversionFiles.h"
#include "steps/PartialFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

bool sameFile(const QString &a, const QString &b)
{
    const QFileInfo first(a);
    const QFileInfo second(b);
    return first.exists() && second.exists() &&
           first.canonicalFilePath() == second.canonicalFilePath();
}

} // namespace

ConversionWorkflow::ConversionWorkflow(ProgramState &state, const JobWindow &window,
                                       ConverterSource &source, const Clock &clock)
    : m_state(state)
    , m_window(window)
    , m_source(source)
    , m_runner(state, window, clock)
{}

ConversionOutcome ConversionWorkflow::RunConversion(const ConversionOrder &order)
{
    // A converter that cannot be written is as missing as one never stored:
    // the job must not go on to report a conversion.
    const QString converter = ConverterFolder(m_state) + ConverterFileName;
    if (!m_source.writeConverter(converter) || !QFileInfo::exists(converter)) {
        m_window.boxes.showError(QStringLiteral("Can't find ffmpeg.exe"));
        m_window.status.setStatusLine(QStringLiteral("Error. Can't find ffmpeg.exe"));
        m_window.status.setStatusPanel(QStringLiteral("Status: Error"));
        m_state.DownloadState = dsStopRequested;
        return ConversionOutcome::ConverterMissing;
    }

    const WorkFiles files = StageDownload(order, m_state.TempDir);
    bool converted = false;
    try {
        // Whole paths: the converter runs in another folder, and a name
        // starting with "-" must not read as an option.
        converted = m_runner.RunConverter(
            m_state.AppDir, QFileInfo(converter).absoluteFilePath(),
            converterArguments(QFileInfo(files.input).absoluteFilePath(), order.TargetExtension,
                               QFileInfo(files.output).absoluteFilePath()));
    } catch (...) {
        TidyWorkFiles(files, false);
        throw;
    }

    const QString download = order.SaveDir + order.SaveFileName;
    const QString target = ChangeFileExt(download, order.TargetExtension);
    if (converted && files.staged && QFileInfo::exists(files.output)) {
        // The older converted file makes way for the new one.
        const bool delivered = PutBack(files.output, target);
        TidyWorkFiles(files, !delivered);
        if (delivered) {
            QFile::remove(download);
            // A stopped download that was converted leaves nothing to resume.
            PartialFile::forget(download);
            return ConversionOutcome::Finished;
        }
        m_window.boxes.showError(
            QStringLiteral("Unable to put the converted video into the Download directory.\n\r"
                           "It is kept as \"") +
            QDir::toNativeSeparators(files.output) + QLatin1Char('"'));
        return ConversionOutcome::ConverterFailed;
    }
    const bool delivered =
        converted && !files.staged && QFileInfo::exists(target) && !sameFile(download, target);
    TidyWorkFiles(files, converted);
    if (delivered) {
        QFile::remove(download);
        // A stopped download that was converted leaves nothing to resume.
        PartialFile::forget(download);
        return ConversionOutcome::Finished;
    }

    if (isWindingDown(m_state.DownloadState))
        return ConversionOutcome::Finished;
    // A converter that could not start has said so in its own box.
    if (m_runner.childStarted())
        m_window.boxes.showError(QStringLiteral("Unable to convert this video."));
    return ConversionOutcome::ConverterFailed;
}
