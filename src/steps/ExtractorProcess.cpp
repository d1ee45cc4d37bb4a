#include "steps/ExtractorProcess.h"

#include "job/JobPulse.h"

#include <QElapsedTimer>
#include <QProcess>

#include <csignal>
#include <unistd.h>

namespace {

constexpr int ReapMs = 1000;

// The child leads a process group of its own, so one signal reaches whatever
// it started (the extractor runs FFmpeg for merges and fix-ups). It keeps the
// program's priority: the user waits for it, and at the lowest one a busy
// machine starved a lookup past its time limit.
void startChild()
{
    ::setpgid(0, 0);
}

// Ends the child's whole group, on every way out of a run.
class GroupCleanup
{
public:
    GroupCleanup(QProcess &process, qint64 group)
        : m_process(process)
        , m_group(static_cast<pid_t>(group))
    {}
    ~GroupCleanup() { end(); }
    GroupCleanup(const GroupCleanup &) = delete;
    GroupCleanup &operator=(const GroupCleanup &) = delete;

    void end()
    {
        // Members left behind by a child that ended are ended too.
        if (m_group > 0 && ::kill(-m_group, 0) == 0)
            ::kill(-m_group, SIGKILL);
        if (m_process.state() != QProcess::NotRunning)
            m_process.waitForFinished(ReapMs);
    }

private:
    QProcess &m_process;
    pid_t m_group;
};

void keepTail(QByteArray &kept, const QByteArray &more, qint64 limit)
{
    kept += more;
    if (kept.size() > limit)
        kept.remove(0, kept.size() - limit);
}

} // namespace

ExtractorProcess::ExtractorProcess(JobPulse &pulse)
    : m_pulse(pulse)
{}

ExtractorProcess::Result ExtractorProcess::run(const QString &program, const QStringList &arguments,
                                               const Options &options)
{
    Result result;
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.setChildProcessModifier(startChild);
    process.setReadChannel(QProcess::StandardOutput);
    if (!options.workingDirectory.isEmpty())
        process.setWorkingDirectory(options.workingDirectory);
    process.start(program, arguments, QIODevice::ReadOnly);
    if (!process.waitForStarted(-1)) {
        result.startError = process.errorString();
        return result;
    }
    GroupCleanup cleanup(process, process.processId());

    QByteArray partialLine;
    const auto takeOutput = [&] {
        const QByteArray out = process.readAllStandardOutput();
        if (!options.onLine) {
            result.output += out;
            return;
        }
        partialLine += out;
        qsizetype from = 0;
        for (qsizetype end; (end = partialLine.indexOf('\n', from)) >= 0; from = end + 1) {
            QByteArrayView line(partialLine.constData() + from, end - from);
            if (line.endsWith('\r'))
                line.chop(1);
            options.onLine(line.first(qMin(line.size(), LineLimit)));
        }
        partialLine.remove(0, from);
        // A line without end is cut; the rest of it is dropped as it comes.
        if (partialLine.size() > LineLimit)
            partialLine.truncate(LineLimit);
    };

    QElapsedTimer running;
    running.start();
    for (;;) {
        takeOutput();
        keepTail(result.errors, process.readAllStandardError(), ErrorTail);
        if (!options.onLine && result.output.size() > options.outputLimit) {
            result.end = End::TooMuchOutput;
            result.output.clear();
            return result;
        }
        if (process.state() == QProcess::NotRunning)
            break;
        m_pulse.pass();
        if (m_pulse.windingDown()) {
            result.end = End::Stopped;
            return result;
        }
        if (options.timeLimitMs > 0 && running.elapsed() > options.timeLimitMs) {
            result.end = End::TimedOut;
            return result;
        }
        QElapsedTimer waited;
        waited.start();
        // Output closed while the child runs on: wait for its end instead.
        if (!process.waitForReadyRead(PassMs) && waited.elapsed() < PassMs)
            process.waitForFinished(PassMs);
    }
    if (options.onLine && !partialLine.isEmpty())
        options.onLine(partialLine);
    result.end = End::Exited;
    result.crashed = process.exitStatus() != QProcess::NormalExit;
    result.exitCode = result.crashed ? -1 : process.exitCode();
    return result;
}
