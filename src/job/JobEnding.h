#pragma once

#include "job/JobOutcome.h"

#include <QString>

// A job's result, for a front end that also tells it elsewhere (a desktop
// notification while the window is behind others).
struct JobEnd
{
    JobOutcome outcome = JobOutcome::Completed;
    QString fileName; // the saved file, for Completed and ConversionFailed
    QString reason;   // the failure in words; empty when the box says only that it failed
};

class JobEnding
{
public:
    virtual ~JobEnding() = default;
    // Once a job, right before the box that shows the result; never for a Stop.
    virtual void jobEnds(const JobEnd &) {}
};
