#pragma once

#include "job/JobOutcome.h"
#include "job/JobReporter.h"
#include "job/JobSteps.h"
#include "job/JobWindow.h"
#include "job/StatePulse.h"

#include <QList>

#include <optional>

class Clock;
struct ProgramState;

// One video of a queue: its link, the folder it is saved in (empty: the
// window's), and what the folder's list archive knows it by (empty: no archive).
struct QueuedVideo
{
    QString link;
    QString folder{};
    QString archiveKey{};
};

// How a running job is asked to end.
enum class Cancel
{
    Stop,  // the Stop button, the console's first Ctrl+C
    Close, // the window closed, the console's second Ctrl+C
};

// Runs one download from the button press to the final report, on the window's
// thread, and is the only writer of DownloadState. The job re-enters the
// window only through its message passes and modal boxes, and reads the state
// again after each of them. Its reporter speaks; its steps report values.
class JobController
{
public:
    // The steps are set later, once they are built on the report and pulse.
    JobController(ProgramState &state, const JobWindow &window, const Clock &clock);
    JobController(ProgramState &state, const JobWindow &window, const JobSteps &steps,
                  const Clock &clock);

    void setSteps(const JobSteps &steps) { m_steps.emplace(steps); }
    // The extractor's upkeep, set once it is built; without it Update does nothing.
    void setUpkeep(ExtractorUpkeep &upkeep) { m_upkeep = &upkeep; }
    // What the steps are given: the report of their values, the pulse, the format.
    JobReport &report() { return m_reporter; }
    JobPulse &pulse() { return m_pulse; }
    FormatChoice &formats() { return m_reporter; }

    // Download/Stop button: runs a job when idle and returns how it ended;
    // otherwise asks the running job to stop and returns nothing. An error
    // that escaped a step reaches the caller after the end report has run.
    std::optional<JobOutcome> StartButtonClick();
    // Saves the videos one after another, each as a job of its own with the
    // window's format, and ends with a summary; nothing when a job runs.
    std::optional<JobOutcome> StartQueue(const QList<QueuedVideo> &videos);
    // The Update button: when idle, updates the managed extractor copy as a
    // job of its own, with a download's progress, and returns how it ended
    // (Completed: updated, or current already); Stop and a close end it as
    // they end a download. Nothing when a job runs or there is no upkeep. An
    // error that escaped it reaches the caller once the inputs are unlocked.
    std::optional<JobOutcome> UpdateExtractorClick();
    // The extractor a job would run; nothing is known without upkeep.
    ExtractorInUse DescribeExtractor();
    // The one way a job is asked to end: a Stop acts only on a running job, a
    // close always marks the program as closing.
    void cancel(Cancel how);

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
        bool handedOn = false;    // the link held a list, left in m_list
    };

    JobOutcome RunDownload();
    // Locks the inputs, starts the timer and the download state of a run.
    void beginRun();
    JobOutcome runList(const ResolvedVideo &list);
    JobOutcome runQueue(const QList<QueuedVideo> &videos, int savedBefore);
    QString linkText() const { return m_item ? m_item->link : m_window.inputs.linkText(); }
    QString folderText() const;
    void runSteps(const JobSteps &steps);
    void windDownAfterFailure();
    JobOutcome EndReport();
    JobOutcome EndUpdate(const ExtractorUpdateReport *report);

    ProgramState &m_state;
    JobWindow m_window; // read for the inputs; the reporter does the rest
    JobReporter m_reporter;
    StatePulse m_pulse;
    std::optional<JobSteps> m_steps;
    ExtractorUpkeep *m_upkeep = nullptr;
    const Clock &m_clock;
    Run m_run;
    std::optional<QueuedVideo> m_item;   // the queued video that runs
    std::optional<ResolvedVideo> m_list; // a list the user chose to save whole
    bool m_closed = false;               // the program is closing: no queue goes on
};
