#pragma once

#include <QString>
#include <QStringList>

class Clock;
class JobPulse;
class JobReport;
class QProcess;

// Runs the converter as a child process and reports its "Duration:" and
// "time=" output as progress, on the window's thread. The window gets a
// message pass after each chunk of output (and while the converter is
// silent), so a Stop or a close is seen after the next chunk; the child is
// then given a second to end and killed.
class ConverterRunner
{
public:
    ConverterRunner(JobReport &report, JobPulse &pulse, const Clock &clock);

    // Runs program with arguments (never through a shell) in folder. True when
    // the child ended by itself with exit code 0. A program that cannot be
    // started is reported as such, with the system's reason.
    // Throws NumberReadingError for output that should hold a number and does not.
    bool RunConverter(const QString &folder, const QString &program, const QStringList &arguments);

    // Whether the last run got as far as starting the child.
    bool childStarted() const { return m_childStarted; }

    // How long a silent converter may keep the window without a message pass.
    void setIdlePassInterval(int milliseconds) { m_idlePassMs = milliseconds; }

private:
    enum class Wait
    {
        Output,
        Ended,
        Stopped,
    };

    bool readOutput(QProcess &process);
    Wait waitForOutput(QProcess &process);
    bool stopRequested() const;

    JobReport &m_report;
    JobPulse &m_pulse;
    const Clock &m_clock;
    bool m_childStarted = false;
    int m_idlePassMs = 250;
};
