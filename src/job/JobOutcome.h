#pragma once

// How a job ended, for the caller of the Download button.
enum class JobOutcome
{
    Completed,        // the completion box was shown
    ConversionFailed, // the download was saved, its conversion failed
    Failed,           // the job showed a failure and the user had not stopped it
    Stopped,          // the user pressed Stop or closed the window
};
