#pragma once

#include "job/JobOutcome.h"

#include <QStringList>

#include <optional>

class TerminalJobWindow;
struct CliOptions;
struct ExtractorInUse;
struct JobWindow;
struct ProgramState;

// Exit statuses of vidlark-cli.
enum CliExitStatus
{
    ExitComplete = 0,
    ExitError = 1, // nothing saved
    ExitStopped = 2,
    ExitConversionFailed = 3, // the download is saved, its conversion failed
    ExitUsage = 64,
};

// The exit status of a job's outcome; nothing (no job ran) is an error.
int ExitStatusOf(std::optional<JobOutcome> outcome);

// Runs one real job on the window's roles, whose terminal shows what escapes
// it; returns the exit status. The external extractor's route is off unless
// a program is given. With --update-extractor the job is the update of the
// state's managed extractor copy.
int RunCliJob(ProgramState &state, const JobWindow &window, TerminalJobWindow &terminal,
              const CliOptions &options, const QString &extractor = QString());

// What --version prints: "vidlark-cli VERSION", then the extractor's line.
QString CliVersionText(const ExtractorInUse &extractor);

// Runs one job for the arguments after the program name; returns the exit status.
int RunCli(const QStringList &arguments);
