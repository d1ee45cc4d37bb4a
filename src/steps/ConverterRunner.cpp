#include "steps/ConverterRunner.h"

#include "convert/ConverterOutput.h"
#include "convert/DurationText.h"
#include "job/Clock.h"
#include "job/JobPulse.h"
#include "job/JobReport.h"
#include "job/TimeTexts.h"
#include "steps/ChildPriority.h"

#include <QElapsedTimer>
#include <QProcess>

namespace {

constexpr qint64 ChunkSize = 1024;
constexpr quint32 DurationWaitMs = 5000;
constexpr quint32 QuietStartMs = 1000;
constexpr int GraceMs = 1000;
constexpr int ReapMs = 30000;

// The system's text for why the program did not start, as QProcess words it
// ("execve: No such file or directory"), without the call's name and without
// trailing control characters, spaces and full stops.
QString systemErrorText(const QString &processError)
{
    QString text = processError;
    const qsizetype colon = text.indexOf(QStringLiteral(": "));
    if (colon > 0 && !text.left(colon).contains(QLatin1Char(' ')))
        text = text.mid(colon + 2);
    while (!text.isEmpty() && (text.back().unicode() <= 0x20 || text.back() == QLatin1Char('.')))
        text.chop(1);
    return text;
}

// Every started child is waited for briefly and then killed, whichever way
// the runner is left, an escaping NumberReadingError included.
class ChildCleanup
{
public:
    explicit ChildCleanup(QProcess &process)
        : m_process(process)
    {}
    ~ChildCleanup()
    {
        if (m_process.state() == QProcess::NotRunning || m_process.waitForFinished(GraceMs))
            return;
        m_process.kill();
        m_process.waitForFinished(ReapMs);
    }
    ChildCleanup(const ChildCleanup &) = delete;
    ChildCleanup &operator=(const ChildCleanup &) = delete;

private:
    QProcess &m_process;
};

} // namespace

ConverterRunner::ConverterRunner(JobReport &report, JobPulse &pulse, const Clock &clock)
    : m_report(report)
    , m_pulse(pulse)
    , m_clock(clock)
{}

bool ConverterRunner::RunConverter(const QString &folder, const QString &program,
                                   const QStringList &arguments)
{
    m_childStarted = false;
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    // A converter asking whether to overwrite a file gets end of input, not a hang.
    process.setStandardInputFile(QProcess::nullDevice());
    process.setWorkingDirectory(folder);
    process.setChildProcessModifier(lowerChildPriority);
    process.start(program, arguments, QIODevice::ReadOnly);
    if (!process.waitForStarted(-1)) {
        m_report.stepFailed(StepFailure::ConverterNotStarted,
                            systemErrorText(process.errorString()));
        return false;
    }
    m_childStarted = true;

    const ChildCleanup cleanup(process);
    if (!readOutput(process))
        return false;
    while (process.state() != QProcess::NotRunning) {
        if (process.waitForFinished(m_idlePassMs) || process.state() == QProcess::NotRunning)
            break;
        m_pulse.pass();
        if (stopRequested())
            return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool ConverterRunner::stopRequested() const
{
    return m_pulse.windingDown();
}

// True when the output has ended, false when the job asked to stop.
bool ConverterRunner::readOutput(QProcess &process)
{
    const quint32 startTick = m_clock.tickCount();
    DurationText duration;
    bool durationKnown = false;
    qint32 total = 0;

    for (;;) {
        switch (waitForOutput(process)) {
        case Wait::Ended:
            return true;
        case Wait::Stopped:
            return false;
        case Wait::Output:
            break;
        }
        const QString chunk = chunkText(process.read(ChunkSize));

        if (!durationKnown) {
            const quint32 elapsed = m_clock.tickCount() - startTick;
            if (duration.take(chunk, elapsed > DurationWaitMs)) {
                total = TimeToSec(duration.text());
                m_report.conversionStarts(total, duration.text());
                durationKnown = true;
            }
            if (elapsed > QuietStartMs)
                m_pulse.pass();
        } else {
            if (const auto seconds = progressSeconds(chunk, total))
                m_report.conversionProgress(*seconds);
            m_pulse.pass();
        }

        if (stopRequested())
            return false;
    }
}

ConverterRunner::Wait ConverterRunner::waitForOutput(QProcess &process)
{
    while (process.bytesAvailable() == 0) {
        if (process.state() == QProcess::NotRunning)
            return Wait::Ended;
        QElapsedTimer waited;
        waited.start();
        if (process.waitForReadyRead(m_idlePassMs) || process.bytesAvailable() > 0)
            continue;
        if (process.state() == QProcess::NotRunning)
            return Wait::Ended;
        // Output closed while the child runs on: wait for its end instead.
        if (waited.elapsed() < m_idlePassMs && process.waitForFinished(m_idlePassMs))
            continue;
        // A silent converter must not freeze the window or make Stop wait.
        m_pulse.pass();
        if (stopRequested())
            return Wait::Stopped;
    }
    return Wait::Output;
}
