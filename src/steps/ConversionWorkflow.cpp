#include "steps/ConversionWorkflow.h"

#include "convert/ConverterPresets.h"
#include "convert/ConverterSource.h"
#include "job/ConverterCopy.h"
#include "job/FileNames.h"
#include "job/JobPulse.h"
#include "job/JobReport.h"
#include "steps/ConversionFiles.h"
#include "steps/PartialFile.h"

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

ConversionWorkflow::ConversionWorkflow(JobReport &report, JobPulse &pulse, ConverterSource &source,
                                       const Clock &clock)
    : m_report(report)
    , m_pulse(pulse)
    , m_source(source)
    , m_runner(report, pulse, clock)
{}

ConversionOutcome ConversionWorkflow::RunConversion(const ConversionOrder &order)
{
    // A converter that cannot be written is as missing as one never stored:
    // the job must not go on to report a conversion.
    const QString converter = order.ConverterDir + ConverterFileName;
    if (!m_source.writeConverter(converter) || !QFileInfo::exists(converter))
        return ConversionOutcome::ConverterMissing;

    const WorkFiles files = StageDownload(order, order.TempDir);
    bool converted = false;
    try {
        // Whole paths: the converter runs in another folder, and a name
        // starting with "-" must not read as an option.
        converted = m_runner.RunConverter(
            order.WorkingDir, QFileInfo(converter).absoluteFilePath(),
            converterArguments(QFileInfo(files.input).absoluteFilePath(), order.TargetExtension,
                               QFileInfo(files.output).absoluteFilePath(), order.CopyAudio));
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
            // A download already in the target's container has just been replaced.
            if (target != download)
                QFile::remove(download);
            // A stopped download that was converted leaves nothing to resume.
            PartialFile::forget(download);
            return ConversionOutcome::Finished;
        }
        m_report.stepFailed(StepFailure::ConvertedNotKept, files.output);
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

    if (m_pulse.windingDown())
        return ConversionOutcome::Finished;
    // A converter that could not start has said so already.
    if (m_runner.childStarted())
        m_report.stepFailed(StepFailure::ConversionFailed, QString());
    return ConversionOutcome::ConverterFailed;
}
