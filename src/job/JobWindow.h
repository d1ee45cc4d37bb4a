#pragma once

#include "job/InputLock.h"
#include "job/JobBoxes.h"
#include "job/JobEnding.h"
#include "job/JobInputs.h"
#include "job/JobProgress.h"
#include "job/MessagePass.h"
#include "job/StatusTexts.h"

// Everything the job does to its window, role by role. The main window fills
// the roles on screen (its progress bar through ProgressIndicators), the
// console front end on a terminal, and tests with one recording fake.
struct JobWindow
{
    JobInputs &inputs;
    InputLock &lock;
    StatusTexts &status;
    JobProgress &progress;
    JobBoxes &boxes;
    MessagePass &messages;
    JobEnding &ending;
};

// Locks the inputs for a job and starts the download look of the progress.
void PrepareToStart(const JobWindow &window);
// Unlocks the inputs after a job.
void PrepareToStop(const JobWindow &window);
// The convert boxes are offered only for the FLV formats.
void FormatComboBoxChange(JobInputs &inputs, InputLock &lock);
