#pragma once

#include "job/JobOutcome.h"
#include "job/JobSteps.h"
#include "job/JobWindow.h"

#include <optional>

class Clock;
struct ProgramState;

// Runs one download from the button press to the final report, on the window's
// thread. The job re-enters the window only through its message passes and
// modal boxes, and reads DownloadState again after each of them.
class JobController
{
public:
    JobController(ProgramState &state, const JobWindow &window, const JobSteps &steps,
                  const Clock &clock);

    // Download/Stop button: runs a job when idle and returns how it ended;
    // otherwise asks the running job to stop and returns nothing. An error
    // that escaped a step reaches the caller after the end report has run.
    std::optional<JobOutcome> StartButtonClick();

    // Once a second while the timer runs: the elapsed time of the job.
    void Timer1Timer();

private:
    // What the running job leaves for its end report.
    struct Run
    {
        bool transferResult = false;
        QString targetExtension; // set once the conversion was entered
        bool failed = false;     // a step's failure was shown
        bool conversionFailed = false;
        bool userStopped = false; // the user pressed Stop or closed the window
    };

    JobOutcome RunDownload();
    void runSteps();
    void windDownAfterFailure();
    JobOutcome EndReport();
    void report(const QString &statusLine, const QString &statusPanel);

    ProgramState &m_state;
    JobWindow m_window;
    JobSteps m_steps;
    const Clock &m_clock;
    Run m_run;
};
