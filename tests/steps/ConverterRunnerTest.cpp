#include "steps/ConverterRunner.h"

#include "ConvertTestSupport.h"
#include "RecordingJobWindow.h"
#include "convert/NumberReadingError.h"
#include "job/JobReporter.h"
#include "job/ProgramState.h"
#include "job/StatePulse.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocale>
#include <QTemporaryDir>

#include <csignal>
#include <gtest/gtest.h>

namespace {

const QString Pass = QStringLiteral("message pass");
const QString Panel = QStringLiteral("status panel Status: Converting media file...");

QStringList progress(int seconds, int total, const char *line)
{
    return {QStringLiteral("ShowConversionProgress %1 of %2").arg(seconds).arg(total),
            QStringLiteral("status line Converting media file: ") + QString::fromLatin1(line),
            Panel};
}

bool processExists(const QString &pid)
{
    return ::kill(static_cast<pid_t>(pid.toInt()), 0) == 0;
}

class ConverterRunnerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        state.DownloadState = dsConverting;
        // Sequences below are exact: no passes for a silent converter unless a test asks.
        runner.setIdlePassInterval(60000);
    }

    bool run(const QStringList &script)
    {
        const QString path = dir.filePath(QStringLiteral("script"));
        EXPECT_TRUE(writeScript(path, script));
        return runner.RunConverter(dir.path(), fakeConverterPath(),
                                   {QStringLiteral("--script"), path});
    }

    QString probeFile() const { return dir.filePath(QStringLiteral("probe")); }

    QTemporaryDir dir;
    ProgramState state;
    RecordingJobWindow window;
    JobReporter reporter{state, window.roles()};
    StatePulse pulse{state, window};
    FakeClock clock;
    ConverterRunner runner{reporter, pulse, clock};
};

} // namespace

TEST_F(ConverterRunnerTest, ChunksBecomeProgress)
{
    struct Case
    {
        const char *name;
        QStringList script;
        std::deque<quint32> ticks;
        bool result;
        QStringList calls;
    };
    const QString duration = QStringLiteral("print   Duration: 00:01:00.00, start: 0.000000\\n");
    const QString filler(1020, QLatin1Char('x'));
    const Case cases[] = {
        {"duration then progress, capped at the total",
         {duration, QStringLiteral("print frame=1 time=30.00 bitrate=1\\r"),
          QStringLiteral("print time=00:00:59.60 bitrate=1\\r"),
          QStringLiteral("print time=75.00 bitrate=1\\r")},
         {},
         true,
         QStringList{QStringLiteral("bar maximum 60")} + progress(30, 60, "00:00:30 of 00:01:00") +
             QStringList{Pass} + progress(60, 60, "00:01:00 of 00:01:00") + QStringList{Pass} +
             progress(60, 60, "00:01:00 of 00:01:00") + QStringList{Pass}},
        {"standard error is read through the same pipe",
         {QStringLiteral("eprint Duration: 00:01:00.00, start\\n"),
          QStringLiteral("print time=6.00 x")},
         {},
         true,
         QStringList{QStringLiteral("bar maximum 60")} + progress(6, 60, "00:00:06 of 00:01:00") +
             QStringList{Pass}},
        {"the duration chunk is not searched for progress",
         {QStringLiteral("print Duration: 00:01:00.00 time=5.00 x\\n"),
          QStringLiteral("print time=6.00 x")},
         {},
         true,
         QStringList{QStringLiteral("bar maximum 60")} + progress(6, 60, "00:00:06 of 00:01:00") +
             QStringList{Pass}},
        {"a marker split by the 1024-byte read is not seen",
         {QStringLiteral("print ") + filler + QStringLiteral("Duration: 00:01:00.00, s"),
          QStringLiteral("print time=5.00 x")},
         {},
         true,
         {}},
        {"passes in the first phase only after 1000 ms",
         {QStringLiteral("print noise"), QStringLiteral("print more"),
          QStringLiteral("print Duration: 00:00:10.00, s"), QStringLiteral("print time=5.00 x")},
         {0, 500, 1000, 1001},
         true,
         QStringList{QStringLiteral("bar maximum 10"), Pass} +
             progress(5, 10, "00:00:05 of 00:00:10") + QStringList{Pass}},
        {"no duration within 5000 ms: no progress, passes after every chunk",
         {QStringLiteral("print 0123456789ABCDEFGH"), QStringLiteral("print 0123456789ABCDEFGH"),
          QStringLiteral("print time=5.00 x")},
         {0, 2000, 5001},
         true,
         {Pass, QStringLiteral("bar maximum 0"), Pass, Pass}},
        {"a duration of N/A gives no progress",
         {QStringLiteral("print   Duration: N/A, start: 0.000000\\n"),
          QStringLiteral("print time=5.00 x")},
         {},
         true,
         {QStringLiteral("bar maximum 0"), Pass}},
        {"a duration cut by the end of a read is completed from the next",
         {QStringLiteral("print   Duration: "), QStringLiteral("print 00:01:00.00 time=5.00 x"),
          QStringLiteral("print time=6.00 x")},
         {},
         true,
         QStringList{QStringLiteral("bar maximum 60")} + progress(6, 60, "00:00:06 of 00:01:00") +
             QStringList{Pass}},
        {"a number cut by the end of the chunk is not joined to the next",
         {duration, QStringLiteral("print time=12.3"), QStringLiteral("print 4 bitrate=1"),
          QStringLiteral("print time=")},
         {},
         true,
         {QStringLiteral("bar maximum 60"), Pass, Pass, Pass}},
        {"a failing exit code",
         {duration, QStringLiteral("print time=5.00 x"), QStringLiteral("exit 1")},
         {},
         false,
         QStringList{QStringLiteral("bar maximum 60")} + progress(5, 60, "00:00:05 of 00:01:00") +
             QStringList{Pass}},
        {"no output at all", {QStringLiteral("exit 0")}, {}, true, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        window.calls.clear();
        clock.ticks = c.ticks;
        EXPECT_EQ(run(c.script), c.result);
        EXPECT_EQ(window.calls, c.calls);
        EXPECT_TRUE(runner.childStarted());
    }
}

TEST_F(ConverterRunnerTest, ReadsPointAsDecimalSeparatorWhateverTheLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    state.DecimalSeparator = QLatin1Char(',');
    const bool result = run({QStringLiteral("print Duration: 00:01:00.00, s"),
                             QStringLiteral("print time=12.34 bitrate=1")});
    QLocale::setDefault(saved);
    EXPECT_TRUE(result);
    EXPECT_TRUE(window.calls.contains(QStringLiteral("ShowConversionProgress 12 of 60")));
    EXPECT_EQ(state.DecimalSeparator, QLatin1Char(','));
}

TEST_F(ConverterRunnerTest, StopOrCloseEndsTheChildAfterTheNextChunk)
{
    for (const TDownloadState stop : {dsStopRequested, dsClosing}) {
        SCOPED_TRACE(int(stop));
        state.DownloadState = dsConverting;
        window.calls.clear();
        window.onMessagePass = [this, stop] { state.DownloadState = stop; };
        QElapsedTimer timer;
        timer.start();
        // The child ignores SIGTERM and would sleep for a minute.
        EXPECT_FALSE(run({QStringLiteral("probe ") + probeFile(),
                          QStringLiteral("print Duration: 00:01:00.00, s"),
                          QStringLiteral("print time=1.00 x"), QStringLiteral("print time=2.00 x"),
                          QStringLiteral("hang")}));
        EXPECT_LT(timer.elapsed(), 10000);
        EXPECT_EQ(window.calls, QStringList{QStringLiteral("bar maximum 60")} +
                                    progress(1, 60, "00:00:01 of 00:01:00") + QStringList{Pass});
        const QStringList pid = probeValues(probeFile(), QStringLiteral("pid"));
        ASSERT_EQ(pid.size(), 1);
        EXPECT_FALSE(processExists(pid.front()));
    }
}

TEST_F(ConverterRunnerTest, SilentConverterStillGetsPassesAndStops)
{
    runner.setIdlePassInterval(50);
    // Stop once the child is surely running its endless sleep.
    window.onMessagePass = [this] {
        if (QFile::exists(probeFile()))
            state.DownloadState = dsStopRequested;
    };
    EXPECT_FALSE(run({QStringLiteral("probe ") + probeFile(), QStringLiteral("hang")}));
    ASSERT_FALSE(window.calls.isEmpty());
    EXPECT_EQ(window.calls.count(Pass), window.calls.size());
    const QStringList pid = probeValues(probeFile(), QStringLiteral("pid"));
    ASSERT_EQ(pid.size(), 1);
    EXPECT_FALSE(processExists(pid.front()));
}

TEST_F(ConverterRunnerTest, ProgramThatCannotStartIsReported)
{
    const QString notAProgram = dir.filePath(QStringLiteral("ffmpeg.exe"));
    ASSERT_TRUE(writeScript(notAProgram, {QStringLiteral("text")}));
    const struct
    {
        QString program;
        QString message;
    } cases[] = {
        {dir.filePath(QStringLiteral("missing/ffmpeg.exe")),
         QStringLiteral("No such file or directory")},
        {notAProgram, QStringLiteral("Permission denied")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.program.toStdString());
        window.calls.clear();
        EXPECT_FALSE(runner.RunConverter(dir.path(), c.program, {}));
        EXPECT_FALSE(runner.childStarted());
        EXPECT_EQ(window.calls, QStringList{QStringLiteral("command failure box ") + c.message});
    }
}

TEST_F(ConverterRunnerTest, UnreadableNumberLeavesThroughCleanUp)
{
    const QStringList badChunks[] = {
        {QStringLiteral("print Duration: 00:01:00.00, s"),
         QStringLiteral("print time=N/A speed=1.5x x")},
        {QStringLiteral("print Duration: ab:cd:ef.00, s")},
    };
    for (const QStringList &chunks : badChunks) {
        SCOPED_TRACE(chunks.join(QLatin1Char('|')).toStdString());
        EXPECT_THROW(run(QStringList{QStringLiteral("probe ") + probeFile()} + chunks +
                         QStringList{QStringLiteral("hang")}),
                     NumberReadingError);
        const QStringList pid = probeValues(probeFile(), QStringLiteral("pid"));
        ASSERT_EQ(pid.size(), 1);
        EXPECT_FALSE(processExists(pid.front()));
    }
}

TEST_F(ConverterRunnerTest, ChildGetsArgumentsVerbatimNullInputAndLowestPriority)
{
    const QString script = dir.filePath(QStringLiteral("script"));
    ASSERT_TRUE(writeScript(script, {QStringLiteral("probe ") + probeFile()}));
    const QStringList arguments{QStringLiteral("--script"), script,
                                QStringLiteral("a \"quoted\" name.flv"), QStringLiteral("$(id)"),
                                QStringLiteral("-y;ls")};
    EXPECT_TRUE(runner.RunConverter(dir.path(), fakeConverterPath(), arguments));
    EXPECT_EQ(probeValues(probeFile(), QStringLiteral("arg")), arguments);
    EXPECT_EQ(probeValues(probeFile(), QStringLiteral("stdin_null")),
              QStringList{QStringLiteral("1")});
    EXPECT_EQ(probeValues(probeFile(), QStringLiteral("nice")), QStringList{QStringLiteral("19")});
    EXPECT_EQ(probeValues(probeFile(), QStringLiteral("cwd")),
              QStringList{QDir(dir.path()).canonicalPath()});
}
