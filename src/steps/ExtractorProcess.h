#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <functional>

class JobPulse;

// Runs the external extractor as a child process on the window's thread: an
// argument list (never a shell), null standard input, its own process group,
// the lowest CPU priority. The window gets a message pass every few tens of
// milliseconds; a Stop or a close, a time limit or too much output ends the
// child and everything it started at once.
class ExtractorProcess
{
public:
    enum class End
    {
        Exited,        // ended by itself; see exitCode and crashed
        NotStarted,    // see startError
        TimedOut,      // ran past the time limit
        TooMuchOutput, // wrote more than the output limit
        Stopped,       // the job was stopped or the window closed
    };

    struct Options
    {
        int timeLimitMs = 0;      // 0: none
        QString workingDirectory; // empty: the program's own
        qint64 outputLimit = 0;   // bytes kept of standard output; 0: none kept
        // Each line of standard output, without its line end, when set; lines
        // longer than LineLimit are cut.
        std::function<void(QByteArrayView line)> onLine;
    };

    struct Result
    {
        End end = End::NotStarted;
        int exitCode = -1;
        bool crashed = false;
        QByteArray output; // standard output, when kept
        QByteArray errors; // the tail of standard error
        QString startError;
    };

    static constexpr int PassMs = 50;
    static constexpr qint64 ErrorTail = 64 * 1024;
    static constexpr qint64 LineLimit = 64 * 1024;

    explicit ExtractorProcess(JobPulse &pulse);

    Result run(const QString &program, const QStringList &arguments, const Options &options);

private:
    JobPulse &m_pulse;
};
