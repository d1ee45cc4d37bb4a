#pragma once

#include "job/JobOutcome.h"

#include <QString>

// A job's result, for a front end that also tells it elsewhere (a desktop
// notification while the window is behind others) or shows it before the box.
struct JobEnd
{
    JobOutcome outcome = JobOutcome::Completed;
    QString fileName; // the saved file, for Completed and ConversionFailed
    QString reason;   // the failure in words; empty when the box says only that it failed
    // The status line and panel the job ends with, set right after the box;
    // empty when the box leaves the status texts as they are.
    QString statusLine;
    QString statusPanel;
};

class JobEnding
{
public:
    virtual ~JobEnding() = default;
    // Once a job, right before the box that shows the result; never for a Stop.
    virtual void jobEnds(const JobEnd &) {}
};
