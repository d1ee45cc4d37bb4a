#include "cli/TerminalJobWindow.h"

#include "FakeClock.h"
#include "cli/CliOptions.h"
#include "cli/CliProgram.h"
#include "job/Clock.h"
#include "job/JobController.h"
#include "job/ProgramState.h"

#include <QTemporaryDir>
#include <QTextStream>

#include <functional>
#include <gtest/gtest.h>
#include <string_view>

namespace {

struct Screen
{
    QString out, err;
    QTextStream outStream{&out}, errStream{&err};
};

class TerminalTest : public ::testing::Test
{
protected:
    ProgramState state;
    CliOptions options;
    FakeClock clock;
    Screen screen;
    std::optional<TerminalJobWindow> window;

    TerminalJobWindow &open(bool outIsTerminal = false, bool inIsTerminal = false,
                            std::function<std::optional<QString>()> readLine = {})
    {
        window.emplace(state, options,
                       TerminalJobWindow::Terminal{&screen.outStream, &screen.errStream,
                                                   outIsTerminal, inIsTerminal,
                                                   std::move(readLine)},
                       clock);
        return *window;
    }

    void progress(quint32 tick, const QString &text, qint64 done = 0, qint64 total = 0,
                  ProgressLine::Kind kind = ProgressLine::Kind::Transfer)
    {
        clock.now = tick;
        window->setProgressLine({text, kind, done, total});
    }
};

} // namespace

TEST_F(TerminalTest, ProgressIsLimitedToTenLinesASecond)
{
    for (const bool terminal : {false, true}) {
        SCOPED_TRACE(terminal);
        screen.out.clear();
        open(terminal);
        window->setStatusLine(QStringLiteral("Downloading \"a.flv\""));
        progress(1000, QStringLiteral("p0"));
        progress(1050, QStringLiteral("p50"));
        progress(1099, QStringLiteral("p99"));
        progress(1100, QStringLiteral("p100"));
        progress(1150, QStringLiteral("p150"));
        // The count held back is shown before the next ordinary line.
        window->setStatusLine(QStringLiteral("Download is complete: a.flv"));
        const QString expected =
            terminal ? QStringLiteral("Downloading \"a.flv\"\n\rp0\x1b[K\rp100\x1b[K\rp150\x1b[K\n"
                                      "Download is complete: a.flv\n")
                     : QStringLiteral("Downloading \"a.flv\"\np0\np100\np150\n"
                                      "Download is complete: a.flv\n");
        EXPECT_EQ(screen.out, expected);
    }
}

TEST_F(TerminalTest, ProgressLineIsClosedBeforeABox)
{
    open(true);
    progress(0, QStringLiteral("p0"));
    window->showError(QStringLiteral("Unable to download this video."));
    EXPECT_EQ(screen.out, QStringLiteral("\rp0\x1b[K\n"));
    EXPECT_EQ(screen.err, QStringLiteral("Error: Unable to download this video.\n"));
}

TEST_F(TerminalTest, BoxesGoToStandardErrorWithOneLineBreak)
{
    open();
    window->showInformation(QStringLiteral("Download is complete\n\rCheck \"a.flv\""));
    window->showCommandFailure(QStringLiteral("No such file"));
    EXPECT_EQ(screen.err, QStringLiteral("Information: Download is complete\nCheck \"a.flv\"\n"
                                         "Error: No such file\n"));
    EXPECT_TRUE(screen.out.isEmpty());
}

TEST_F(TerminalTest, ControlCharactersReachTheTerminalEscaped)
{
    // Titles come from the server: nothing in them may drive the terminal.
    const struct
    {
        QString text;
        QString shown;
    } cases[]{
        {QStringLiteral("Clip\x1b[2J.flv"), QStringLiteral("Clip\\x1b[2J.flv")},
        {QStringLiteral("Ring\x07"), QStringLiteral("Ring\\x07")},
        {QStringLiteral("a\tb\rc"), QStringLiteral("a\\x09b\\x0dc")},
        {QStringLiteral("del\u007F csi\u009B"), QStringLiteral("del\\x7f csi\\x9b")},
        {QStringLiteral("\u202Eflv.exe"), QStringLiteral("\\u202eflv.exe")},
        {QStringLiteral("\u2066isolated\u2069 \u200F"),
         QStringLiteral("\\u2066isolated\\u2069 \\u200f")},
        {QStringLiteral("Caf\u00E9 \u6F22\u5B57 \U0001F600"),
         QStringLiteral("Caf\u00E9 \u6F22\u5B57 \U0001F600")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.shown.toStdString());
        for (const bool terminal : {false, true}) {
            screen.out.clear();
            screen.err.clear();
            open(terminal);
            window->setStatusLine(c.text);
            EXPECT_EQ(screen.out, c.shown + QLatin1Char('\n'));
            progress(1000, c.text);
            window->showError(c.text + QStringLiteral("\n\rsecond line"));
            EXPECT_EQ(screen.err,
                      QStringLiteral("Error: ") + c.shown + QStringLiteral("\nsecond line\n"));
            if (terminal) {
                EXPECT_TRUE(
                    screen.out.endsWith(QLatin1Char('\r') + c.shown + QStringLiteral("\x1b[K\n")));
            }
            // A line feed would break a line that is rewritten in place; a box keeps its lines.
            screen.out.clear();
            window->setStatusLine(QStringLiteral("one\ntwo"));
            EXPECT_TRUE(screen.out.endsWith(QStringLiteral("one\\x0atwo\n")));
        }
    }
}

TEST_F(TerminalTest, QuestionsAreAnsweredFromTheTerminalOrTheOptions)
{
    const QString question = QStringLiteral("Unable to get it.\n\rShould I try?");
    const struct
    {
        const char *name;
        std::optional<bool> option;
        bool inIsTerminal;
        std::optional<QString> typed;
        bool answer;
        QString err;
    } cases[]{
        {"not a terminal: No", std::nullopt, false, std::nullopt, false,
         QStringLiteral("Unable to get it.\nShould I try? No\n")},
        {"--yes", true, false, std::nullopt, true,
         QStringLiteral("Unable to get it.\nShould I try? Yes\n")},
        {"--no on a terminal", false, true, QStringLiteral("y"), false,
         QStringLiteral("Unable to get it.\nShould I try? No\n")},
        {"typed y", std::nullopt, true, QStringLiteral(" Y\n"), true,
         QStringLiteral("Unable to get it.\nShould I try? [y/N] ")},
        {"typed nothing", std::nullopt, true, QString(), false,
         QStringLiteral("Unable to get it.\nShould I try? [y/N] ")},
        {"end of input", std::nullopt, true, std::nullopt, false,
         QStringLiteral("Unable to get it.\nShould I try? [y/N] No\n")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        screen.err.clear();
        options.answer = c.option;
        open(false, c.inIsTerminal, [&] { return c.typed; });
        EXPECT_EQ(window->askStepDown(question), c.answer);
        EXPECT_EQ(screen.err, c.err);
    }
}

namespace {

class ScriptedResolver final : public VideoResolver
{
public:
    std::function<void()> during;
    QString streamUrl = QStringLiteral("http://streams.test/a");
    ResolvedVideo ResolveVideo(const QString &) override
    {
        if (during)
            during();
        return {streamUrl, QStringLiteral("a.flv"),
                QStringLiteral("movie_01-01-2012_00-00-00.flv")};
    }
};

class ScriptedTransfer final : public FileTransfer
{
public:
    std::function<void()> during;
    bool result = true;
    TransferResult DownloadToFile(const QString &, const QString &) override
    {
        if (during)
            during();
        return result ? TransferResult::Done : TransferResult::Failed;
    }
};

class NoConversion final : public ConversionStep
{
public:
    ConversionOutcome outcome = ConversionOutcome::Finished;
    ConversionOutcome RunConversion(const ConversionOrder &) override { return outcome; }
};

class NoAntiFreeze final : public AntiFreeze
{
public:
    void setAntiFreezeActive(bool) override {}
};

} // namespace

TEST_F(TerminalTest, ExitStatusFollowsHowTheJobEnded)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const struct
    {
        const char *name;
        QString folder;
        bool found;
        bool transferred;
        int pressesDuringResolve;
        int pressesDuringTransfer;
        int exitCode;
        TDownloadState stateSeenByTransfer;
        ConversionOutcome conversion = ConversionOutcome::Finished;
    } cases[]{
        {"complete", dir.path(), true, true, 0, 0, 0, dsDownloading},
        {"no folder", dir.path() + QStringLiteral("/missing"), true, true, 0, 0, 1, dsIdle},
        {"no video", dir.path(), false, true, 0, 0, 1, dsIdle},
        {"transfer failed", dir.path(), true, false, 0, 0, 1, dsDownloading},
        {"Ctrl+C while resolving", dir.path(), true, true, 1, 0, 2, dsIdle},
        {"Ctrl+C twice while downloading", dir.path(), true, false, 0, 2, 2, dsClosing},
        // A stopped transfer may count as done, yet the job ends stopped.
        {"Ctrl+C once while downloading", dir.path(), true, true, 0, 1, 2, dsStopRequested},
        {"converted", dir.path(), true, true, 0, 0, 0, dsDownloading},
        // The download stands; the conversion did not happen.
        {"converter failed", dir.path(), true, true, 0, 0, 3, dsDownloading,
         ConversionOutcome::ConverterFailed},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        state = ProgramState();
        screen.err.clear();
        options.folder = c.folder;
        options.toAvi =
            c.name == std::string_view("converted") || c.conversion != ConversionOutcome::Finished;
        open();
        int presses = 0;
        window->takeInterrupts = [&] { return std::exchange(presses, 0); };
        ScriptedResolver resolver;
        resolver.streamUrl = c.found ? QStringLiteral("http://streams.test/a") : QString();
        resolver.during = [&] {
            presses = c.pressesDuringResolve;
            window->processMessages();
        };
        ScriptedTransfer transfer;
        transfer.result = c.transferred;
        TDownloadState seen = dsIdle;
        transfer.during = [&] {
            presses = c.pressesDuringTransfer;
            window->processMessages();
            seen = state.DownloadState;
        };
        NoConversion conversion;
        conversion.outcome = c.conversion;
        NoAntiFreeze antiFreeze;
        JobController job(state, window->jobWindow(), {resolver, transfer, conversion, antiFreeze},
                          clock);
        window->cancel = [&job](Cancel how) { job.cancel(how); };
        EXPECT_EQ(ExitStatusOf(job.StartButtonClick()), c.exitCode) << screen.err.toStdString();
        EXPECT_EQ(seen, c.stateSeenByTransfer);
        EXPECT_EQ(state.DownloadState, dsIdle);
    }
}

TEST_F(TerminalTest, CtrlCWithoutAJobChangesNothing)
{
    open();
    int presses = 1;
    window->takeInterrupts = [&] { return std::exchange(presses, 0); };
    window->processMessages();
    EXPECT_EQ(state.DownloadState, dsIdle);
}

TEST_F(TerminalTest, CtrlCAtAQuestionStopsTheJob)
{
    int presses = 0;
    open(false, true, [&]() -> std::optional<QString> {
        presses = 1; // the press that interrupted the wait for an answer
        return std::nullopt;
    });
    JobController job(state, window->jobWindow(), clock);
    window->cancel = [&job](Cancel how) { job.cancel(how); };
    state.DownloadState = dsResolving;
    window->takeInterrupts = [&] { return std::exchange(presses, 0); };
    EXPECT_FALSE(window->askStepDown(QStringLiteral("Should I?")));
    EXPECT_EQ(state.DownloadState, dsStopRequested);
}

TEST_F(TerminalTest, TheProgressLineShowsASmoothedSpeedAndTheTimeLeft)
{
    open();
    window->setStatusLine(QStringLiteral("Downloading \"a.flv\""));
    const struct
    {
        quint32 tick;
        qint64 done;
        quint32 total;
        const char *line;
    } steps[] = {
        // The first count only starts the measure: bytes that were there already
        // (a resumed file) are no speed.
        {0, 4000000, 14000000, "p"},
        {400, 4400000, 14000000, "p"}, // too soon to say
        {1000, 5000000, 14000000, "p - 977 KB/s, 00:00:09 left"},
        {2000, 7000000, 14000000, "p - 1.24 MB/s, 00:00:05 left"},
        // A second without bytes slows the figure down, it does not drop it to nothing.
        {3000, 7000000, 14000000, "p - 889 KB/s, 00:00:08 left"},
        // A total that is not known (or wrapped past 4 GiB) has no time left.
        {4000, 8000000, 0, "p - 915 KB/s"},
    };
    for (const auto &s : steps) {
        SCOPED_TRACE(s.tick);
        screen.out.clear();
        progress(s.tick, QStringLiteral("p"), s.done, s.total);
        EXPECT_EQ(screen.out, QString::fromLatin1(s.line) + QLatin1Char('\n'));
    }
    // Another attempt, or the conversion, measures afresh.
    window->setStatusLine(QStringLiteral("Connection lost, retrying in 1 s (2 of 5)..."));
    screen.out.clear();
    progress(5000, QStringLiteral("p"), 8000000, 14000000);
    EXPECT_EQ(screen.out, QStringLiteral("p\n"));
    // Conversion progress carries no speed.
    screen.out.clear();
    progress(9000, QStringLiteral("c"), 5, 10, ProgressLine::Kind::Conversion);
    EXPECT_EQ(screen.out, QStringLiteral("c\n"));
}
