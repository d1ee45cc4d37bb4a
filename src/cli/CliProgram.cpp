#include "cli/CliProgram.h"

#include "cli/CliOptions.h"
#include "cli/InterruptCounter.h"
#include "cli/TerminalJobWindow.h"
#include "job/Clock.h"
#include "job/JobReporter.h"
#include "job/PlacesEnvironment.h"
#include "job/ProgramPlaces.h"
#include "job/ProgramState.h"
#include "service/ListedLines.h"
#include "session/JobSession.h"
#include "steps/ExtractorProgram.h"

#include <QDir>
#include <QFile>
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

// The batch file's links; nothing when it cannot be read.
std::optional<QStringList> batchLinks(const QString &path)
{
    QFile file;
    const bool opened = path == QStringLiteral("-")
                            ? file.open(stdin, QIODevice::ReadOnly)
                            : (file.setFileName(path), file.open(QIODevice::ReadOnly));
    if (!opened)
        return std::nullopt;
    const QByteArray text = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return ListedLines(text);
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
    settings.extractorNamed = !options.extractor.trimmed().isEmpty();
    settings.managedExtractor = ManagedExtractor(state);
    settings.extractorReleases = options.releases;
    settings.cookiesFromBrowser = options.cookiesFromBrowser;
    settings.subtitles = options.subtitles;
    settings.connections = options.connections;
    session.apply(settings);
    terminal.cancel = [&session](Cancel how) { session.controller().cancel(how); };
    QList<QueuedVideo> queue;
    for (const QString &link : options.links)
        queue.append({link});
    int status = ExitError;
    try {
        JobController &job = session.controller();
        status = ExitStatusOf(options.updateExtractor ? job.UpdateExtractorClick()
                              : queue.size() > 1      ? job.StartQueue(queue)
                                                      : job.StartButtonClick());
    } catch (const std::exception &error) {
        terminal.showEscapedError(QString::fromLocal8Bit(error.what()));
    }
    terminal.finish();
    terminal.cancel = nullptr;
    return status;
}

QString CliVersionText(const ExtractorInUse &extractor)
{
    return QStringLiteral("vidlark-cli " VIDLARK_VERSION "\n") +
           JobReporter::extractorLine(extractor) + QLatin1Char('\n');
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
    CliOptions options = *parsed.options;
    bool inIsTerminal = ::isatty(STDIN_FILENO) == 1;
    if (!options.batchFile.isEmpty()) {
        const std::optional<QStringList> links = batchLinks(options.batchFile);
        if (!links) {
            err << "vidlark-cli: the batch file \"" << QDir::toNativeSeparators(options.batchFile)
                << "\" cannot be read.\n"
                << Qt::flush;
            return ExitError;
        }
        options.links += *links;
        options.link = options.links.value(0);
        // Standard input held the links: it answers no questions.
        inIsTerminal = inIsTerminal && options.batchFile != QStringLiteral("-");
    }
    if (options.links.isEmpty() && !options.batchFile.isEmpty()) {
        err << "vidlark-cli: the batch file holds no links.\n" << Qt::flush;
        return ExitError;
    }

    ProgramState state;
    // Installed in a read-only folder, the converter copy goes to a folder of the user's.
    const PlacesEnvironment places = PlacesEnvironment::system();
    StartProgramState(state, places.appDir, QDir::tempPath(), ProgramPlaces::decide(places));

    const QString extractor = ChooseExtractorProgram(options.extractor, ManagedExtractor(state));
    if (parsed.version) {
        const bool off = extractor.isEmpty() && !options.extractor.trimmed().isEmpty();
        out << CliVersionText(DescribeExtractorProgram(extractor, off)) << Qt::flush;
        return ExitComplete;
    }

    SteadyClock clock;
    InterruptCounter interrupts;
    TerminalJobWindow window(
        state, options, {&out, &err, ::isatty(STDOUT_FILENO) == 1, inIsTerminal, &readInputLine},
        clock);
    window.takeInterrupts = [&interrupts] { return interrupts.take(); };
    return RunCliJob(state, window.jobWindow(), window, options, extractor);
}
