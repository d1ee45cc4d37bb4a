#pragma once

#include "job/JobSteps.h"

class Clock;
class JobWindow;
struct ProgramState;

// Runs one download from the button press to the final report, on the window's
// thread. The job re-enters the window only through its message passes and
// modal boxes, and reads DownloadState again after each of them.
class JobController
{
public:
    JobController(ProgramState &state, JobWindow &window, VideoResolver &resolver,
                  FileTransfer &transfer, ConversionStep &conversion, const Clock &clock);

    // Download/Stop button: starts a job when idle (returning when it has
    // ended), otherwise asks the running job to stop. An error that escaped a
    // step reaches the caller after the end report has run.
    void StartButtonClick();

    // Once a second while the timer runs: the elapsed time of the job.
    void Timer1Timer();

private:
    void RunDownload();
    void runSteps(bool &transferResult, QString &targetExtension);
    void EndReport(bool transferResult, const QString &targetExtension);
    void report(const QString &statusLine, const QString &statusPanel);

    ProgramState &m_state;
    JobWindow &m_window;
    VideoResolver &m_resolver;
    FileTransfer &m_transfer;
    ConversionStep &m_conversion;
    const Clock &m_clock;
};
