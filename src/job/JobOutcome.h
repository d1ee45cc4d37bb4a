#pragma once

// How a job ended, for the caller of the Download button.
enum class JobOutcome
{
    Completed,        // the completion box was shown
    Failed,           // the job showed a failure and the user had not stopped it
    ConversionFailed, // saved, but the conversion failed: the download keeps its name
    Stopped,          // the user pressed Stop or closed the window
};
