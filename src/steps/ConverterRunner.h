#pragma once

#include "job/JobWindow.h"

#include <QString>
#include <QStringList>

class Clock;
class QProcess;
struct ProgramState;

// Runs the converter as a child process and turns its "Duration:" and "time="
// output into progress on the window, on the window's thread. The window gets
// a message pass after each chunk of output (and while the converter is
// silent), so a Stop or a close is seen after the next chunk; the child is
// then given a second to end and killed.
class ConverterRunner
{
public:
    ConverterRunner(const ProgramState &state, const JobWindow &window, const Clock &clock);

    // Runs program with arguments (never through a shell) in folder. True when
    // the child ended by itself with exit code 0. A program that cannot be
    // started is reported in the "Could not execute command line" box.
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

    const ProgramState &m_state;
    JobWindow m_window;
    const Clock &m_clock;
    bool m_childStarted = false;
    int m_idlePassMs = 250;
};
