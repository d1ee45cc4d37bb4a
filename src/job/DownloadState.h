#pragma once

#include <cstdint>

// The job state; one value for the whole program, held in ProgramState.
enum TDownloadState : std::uint8_t
{
    dsIdle = 0,          // no job runs; the button starts one
    dsDownloading = 1,   // a job runs and is neither resolving nor converting
    dsResolving = 2,     // the link is being turned into a stream URL
    dsConverting = 3,    // the conversion workflow runs
    dsStopRequested = 4, // Stop pressed, or a step failed; the job winds down
    dsClosing = 5,       // the window was closed
};

// Stop pressed or the window closed: the job winds down at its next chance.
inline bool isWindingDown(TDownloadState state)
{
    return state == dsStopRequested || state == dsClosing;
}
