#include "cli/CliProgram.h"

#include "cli/CliOptions.h"
#include "cli/InterruptCounter.h"
#include "cli/TerminalJobWindow.h"
#include "job/Clock.h"
#include "job/ProgramState.h"
#include "session/JobSession.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QTextStream>

#include <cstdio>
#include <exception>
#include <unistd.h>

namespace {

constexpr int UsageExit = 64;
constexpr int ErrorExit = 1;

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

int RunCli(const QStringList &arguments)
{
    QTextStream out(stdout);
    QTextStream err(stderr);

    const CliParseResult parsed = ParseCliArguments(arguments, QDir::currentPath());
    if (parsed.help) {
        out << CliUsage() << Qt::flush;
        return 0;
    }
    if (!parsed.options) {
        err << "vidlark-cli: " << parsed.error << '\n' << CliUsage() << Qt::flush;
        return UsageExit;
    }
    const CliOptions &options = *parsed.options;

    ProgramState state;
    state.AppDir = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    state.TempDir = QDir::tempPath() + QLatin1Char('/');
    if (const QString point = QLocale().decimalPoint(); !point.isEmpty())
        state.DecimalSeparator = point.at(0);

    SteadyClock clock;
    InterruptCounter interrupts;
    TerminalJobWindow window(
        state, options,
        {&out, &err, ::isatty(STDOUT_FILENO) == 1, ::isatty(STDIN_FILENO) == 1, &readInputLine},
        clock);
    window.takeInterrupts = [&interrupts] { return interrupts.take(); };

    JobSession session(state, window);
    window.antiFreeze = [&session](bool active) { session.client().setAntiFreezeActive(active); };

    try {
        session.controller().StartButtonClick();
    } catch (const std::exception &error) {
        window.showEscapedError(QString::fromLocal8Bit(error.what()));
        window.finish();
        return ErrorExit;
    }
    window.finish();
    return window.exitCode();
}
