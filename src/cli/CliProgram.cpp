#include "cli/CliProgram.h"

#include "cli/CliOptions.h"
#include "cli/InterruptCounter.h"
#include "cli/TerminalJobWindow.h"
#include "job/Clock.h"
#include "job/PlacesEnvironment.h"
#include "job/ProgramPlaces.h"
#include "job/ProgramState.h"
#include "session/JobSession.h"
#include "steps/ExtractorProgram.h"

#include <QDir>
#include <QTextStream>

#include <cstdio>
#include <exception>
#include <unistd.h>

namespace {

// One line from standard input, read unbuffered so that a Ctrl+C ends the wait.
std::optional<QString> readInputLine()
{
    QByteArray line;
    char c = 0;
    for (;;) {
        const ssize_t got = ::read(STDIN_FILENO, &c, 1);
        if (got > 0) {
            if (c == '\n')
                return QString::fromLocal8Bit(line);
            line.append(c);
            continue;
        }
        // End of input, an error, or a Ctrl+C that interrupted the wait.
        if (got == 0 && !line.isEmpty())
            return QString::fromLocal8Bit(line);
        return std::nullopt;
    }
}

} // namespace

int ExitStatusOf(std::optional<JobOutcome> outcome)
{
    if (!outcome)
        return ExitError;
    switch (*outcome) {
    case JobOutcome::Completed:
        return ExitComplete;
    case JobOutcome::Stopped:
        return ExitStopped;
    case JobOutcome::ConversionFailed:
        return ExitConversionFailed;
    case JobOutcome::Failed:
        break;
    }
    return ExitError;
}

int RunCliJob(ProgramState &state, const JobWindow &window, TerminalJobWindow &terminal,
              const CliOptions &options, const QString &extractor)
{
    JobSession session(state, window);
    JobSettings settings;
    settings.resume = options.resume;
    settings.retries = options.retries;
    settings.extractor = extractor;
    settings.subtitles = options.subtitles;
    settings.connections = options.connections;
    session.apply(settings);
    terminal.cancel = [&session](Cancel how) { session.controller().cancel(how); };
    int status = ExitError;
    try {
        status = ExitStatusOf(session.controller().StartButtonClick());
    } catch (const std::exception &error) {
        terminal.showEscapedError(QString::fromLocal8Bit(error.what()));
    }
    terminal.finish();
    terminal.cancel = nullptr;
    return status;
}

int RunCli(const QStringList &arguments)
{
    QTextStream out(stdout);
    QTextStream err(stderr);

    const CliParseResult parsed = ParseCliArguments(arguments, QDir::currentPath());
    if (parsed.help) {
        out << CliUsage() << Qt::flush;
        return ExitComplete;
    }
    if (!parsed.options) {
        err << "vidlark-cli: " << parsed.error << '\n' << CliUsage() << Qt::flush;
        return ExitUsage;
    }
    const CliOptions &options = *parsed.options;

    ProgramState state;
    // Installed in a read-only folder, the converter copy goes to a folder of the user's.
    const PlacesEnvironment places = PlacesEnvironment::system();
    StartProgramState(state, places.appDir, QDir::tempPath(), ProgramPlaces::decide(places));

    SteadyClock clock;
    InterruptCounter interrupts;
    TerminalJobWindow window(
        state, options,
        {&out, &err, ::isatty(STDOUT_FILENO) == 1, ::isatty(STDIN_FILENO) == 1, &readInputLine},
        clock);
    window.takeInterrupts = [&interrupts] { return interrupts.take(); };
    return RunCliJob(state, window.jobWindow(), window, options,
                     ChooseExtractorProgram(options.extractor));
}
