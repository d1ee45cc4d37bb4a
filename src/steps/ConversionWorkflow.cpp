#include "steps/ConversionWorkflow.h"

#include "convert/ConverterPresets.h"
#include "convert/ConverterSource.h"
#include "job/ConverterCopy.h"
#include "job/FileNames.h"
#include "job/ProgramState.h"
#include "steps/PartialFile.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

bool sameFile(const QString &a, const QString &b)
{
    const QFileInfo first(a);
    const QFileInfo second(b);
    return first.exists() && second.exists() &&
           first.canonicalFilePath() == second.canonicalFilePath();
}

// Copies source to destination, replacing a file already there (never the source itself).
bool copyReplacing(const QString &source, const QString &destination)
{
    if (sameFile(source, destination))
        return false;
    if (QFileInfo::exists(destination) && !QFile::remove(destination))
        return false;
    return QFile::copy(source, destination);
}

void removeIfPresent(const QString &path)
{
    if (QFileInfo::exists(path))
        QFile::remove(path);
}

// Moves source onto target, replacing an older file there only once the new
// one stands beside it, so a move that fails loses neither.
bool moveReplacing(const QString &source, const QString &target)
{
    QString incoming = target + QStringLiteral(".incoming");
    for (int n = 1; QFileInfo::exists(incoming); ++n)
        incoming = target + QStringLiteral(".incoming%1").arg(n);
    if (!QFile::rename(source, incoming))
        return false;
    if (::rename(QFile::encodeName(incoming).constData(), QFile::encodeName(target).constData()) ==
        0)
        return true;
    QFile::rename(incoming, source);
    return false;
}

// The file the converter reads and the file it writes.
struct WorkFiles
{
    QString input;
    QString output;
    bool staged = false;
    bool outputStoodThere = false; // a file the run did not create is never removed
};

WorkFiles stage(const ConversionOrder &order, const QString &tempDir)
{
    const QString download = order.SaveDir + order.SaveFileName;
    WorkFiles files{download, ChangeFileExt(download, order.TargetExtension)};
    const QString tempCopy = tempDir + order.SaveFileName;
    const QString staged = tempDir + order.DefaultName;
    // A copy that a failed rename leaves in the temporary folder stays there.
    if (copyReplacing(download, tempCopy) && QFile::rename(tempCopy, staged)) {
        files.input = staged;
        files.output = ChangeFileExt(staged, order.TargetExtension);
        files.staged = true;
    }
    files.outputStoodThere = QFileInfo::exists(files.output);
    return files;
}

// What any run leaves behind: never the staged copy, and no output that the
// run created without converting.
void tidy(const WorkFiles &files, bool converted)
{
    if (files.staged)
        removeIfPresent(files.input);
    if (!converted && !files.outputStoodThere)
        removeIfPresent(files.output);
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
    const QString converter = m_state.AppDir + ConverterFileName;
    if (!m_source.writeConverter(converter) || !QFileInfo::exists(converter)) {
        m_window.boxes.showError(QStringLiteral("Can't find ffmpeg.exe"));
        m_window.status.setStatusLine(QStringLiteral("Error. Can't find ffmpeg.exe"));
        m_window.status.setStatusPanel(QStringLiteral("Status: Error"));
        m_state.DownloadState = dsStopRequested;
        return ConversionOutcome::ConverterMissing;
    }

    const WorkFiles files = stage(order, m_state.TempDir);
    bool converted = false;
    try {
        // Whole paths: the converter runs in another folder, and a name
        // starting with "-" must not read as an option.
        converted = m_runner.RunConverter(
            m_state.AppDir, QFileInfo(converter).absoluteFilePath(),
            converterArguments(QFileInfo(files.input).absoluteFilePath(), order.TargetExtension,
                               QFileInfo(files.output).absoluteFilePath()));
    } catch (...) {
        tidy(files, false);
        throw;
    }

    const QString download = order.SaveDir + order.SaveFileName;
    const QString target = ChangeFileExt(download, order.TargetExtension);
    bool delivered = false;
    if (converted && files.staged) {
        // The older converted file makes way for the new one.
        delivered = QFileInfo::exists(files.output) && moveReplacing(files.output, target);
    } else if (converted) {
        delivered = QFileInfo::exists(target) && !sameFile(download, target);
    }
    // A staged output that could not be put back goes with the staged copy.
    tidy(files, files.staged ? delivered : converted);
    if (delivered) {
        removeIfPresent(download);
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
