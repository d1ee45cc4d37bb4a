#include "FileContents.h"
#include "NoProxyEnvironment.h"
#include "QtPrinters.h"
#include "ResourceAnswer.h"
#include "ServiceReply.h"
#include "cli/InterruptCounter.h"
#include "steps/ResumeRecord.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <gtest/gtest.h>

namespace {

// vidlark-cli run as a user would, against the sample service program as its proxy.
class CliProgramTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(workDir.isValid());
        ASSERT_TRUE(logDir.isValid());
        clearProxyEnvironment();
        service.start(QStringLiteral(SAMPLE_SERVICE_PROGRAM),
                      {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--log"),
                       logDir.filePath(QStringLiteral("requests.json"))});
        ASSERT_TRUE(service.waitForReadyRead(10000));
        const QByteArray line = service.readLine().trimmed();
        ASSERT_TRUE(line.startsWith("listening on 127.0.0.1:")) << line.toStdString();
        proxy = QStringLiteral("http://") + QString::fromLatin1(line.mid(13));
    }
    void TearDown() override
    {
        service.terminate();
        service.waitForFinished(10000);
    }

    struct Outcome
    {
        int exitCode = -1;
        QString out, err;
    };

    void startCli(QProcess &cli, const QStringList &arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("http_proxy"), proxy);
        cli.setProcessEnvironment(environment);
        cli.setWorkingDirectory(workDir.path());
        cli.start(QStringLiteral(CLI_PROGRAM), arguments);
        cli.closeWriteChannel();
    }
    Outcome runCli(const QStringList &arguments)
    {
        QProcess cli;
        startCli(cli, arguments);
        if (!cli.waitForFinished(60000)) {
            cli.kill();
            cli.waitForFinished();
            ADD_FAILURE() << "vidlark-cli did not finish";
        }
        return {cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1,
                QString::fromUtf8(cli.readAllStandardOutput()),
                QString::fromUtf8(cli.readAllStandardError())};
    }

    // The Range header of each GET of a stream the service logged, "-" for none.
    QByteArrayList streamRanges() const
    {
        QByteArrayList ranges;
        QFile log(logDir.filePath(QStringLiteral("requests.json")));
        if (!log.open(QIODevice::ReadOnly))
            return ranges;
        while (!log.atEnd()) {
            const QJsonObject request = QJsonDocument::fromJson(log.readLine()).object();
            if (request.value(QStringLiteral("method")).toString() != QStringLiteral("GET") ||
                !request.value(QStringLiteral("target"))
                     .toString()
                     .contains(QStringLiteral("/videos/")))
                continue;
            QByteArray range = "-";
            for (const QJsonValue &header : request.value(QStringLiteral("headers")).toArray()) {
                if (header.toArray().at(0).toString() == QStringLiteral("Range"))
                    range = header.toArray().at(1).toString().toLatin1();
            }
            ranges.append(range);
        }
        return ranges;
    }

    QTemporaryDir workDir;
    QTemporaryDir logDir;
    QProcess service;
    QString proxy;
};

} // namespace

TEST_F(CliProgramTest, ExampleLinkIsSavedUnderItsTitle)
{
    const Outcome outcome = runCli({QStringLiteral("http://www.youtube.com/watch?v=vidlark0001")});
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err.toStdString();
    const QString name = QStringLiteral("Vidlark Sample Clip_(360p).flv");
    EXPECT_EQ(contentsOf(workDir.filePath(name)),
              contentsOf(QStringLiteral(SAMPLE_MEDIA_DIR "/sample.flv")));
    EXPECT_TRUE(outcome.out.startsWith(QStringLiteral("Start downloading...\n")));
    EXPECT_TRUE(
        outcome.out.endsWith(QStringLiteral("Download is complete: ") + name + QLatin1Char('\n')));
    EXPECT_EQ(outcome.err, QStringLiteral("Information: Download is complete\nCheck \"") + name +
                               QStringLiteral("\"\n"));
}

TEST_F(CliProgramTest, StepDownIsAnsweredFromTheOptions)
{
    const QString link = QStringLiteral("http://www.youtube.com/watch?v=vidlark0002");
    QDir(workDir.path()).mkdir(QStringLiteral("saved"));
    const Outcome refused = runCli({QStringLiteral("--format"), QStringLiteral("3"), link});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(
        refused.err.contains(QStringLiteral("Should I try to download 360p version? No\n")));

    const Outcome accepted = runCli({QStringLiteral("--format=3"), QStringLiteral("--yes"),
                                     QStringLiteral("--dir"), QStringLiteral("saved"), link});
    EXPECT_EQ(accepted.exitCode, 0) << accepted.err.toStdString();
    EXPECT_TRUE(
        QFile::exists(workDir.filePath(QStringLiteral("saved/Two Streams Only_(360p).flv"))));
}

// One test for both targets: the converter copy is written beside the program,
// so two conversions must not run at once.
TEST_F(CliProgramTest, ConvertOptionTurnsTheDownloadIntoAviOrMp4)
{
    const struct
    {
        const char *target, *extension;
        qsizetype magicAt;
        QByteArray magic;
    } targets[]{{"avi", ".avi", 0, "RIFF"}, {"mp4", ".mp4", 4, "ftyp"}};
    const QString converterCopy =
        QFileInfo(QStringLiteral(CLI_PROGRAM)).absolutePath() + QStringLiteral("/ffmpeg.exe");
    for (const auto &target : targets) {
        SCOPED_TRACE(target.target);
        const Outcome outcome =
            runCli({QStringLiteral("--convert"), QString::fromLatin1(target.target),
                    QStringLiteral("http://www.youtube.com/watch?v=vidlark0001")});
        EXPECT_EQ(outcome.exitCode, 0) << outcome.err.toStdString();
        const QString name =
            QStringLiteral("Vidlark Sample Clip_(360p)") + QString::fromLatin1(target.extension);
        EXPECT_EQ(contentsOf(workDir.filePath(name)).mid(target.magicAt, 4), target.magic);
        EXPECT_EQ(QDir(workDir.path()).entryList(QDir::Files), QStringList{name});
        EXPECT_TRUE(outcome.out.contains(QStringLiteral("Converting media file: ")));
        EXPECT_TRUE(outcome.out.endsWith(QStringLiteral("Download is complete: ") + name +
                                         QLatin1Char('\n')));
        EXPECT_FALSE(QFile::exists(converterCopy));
        QFile::remove(workDir.filePath(name));
    }
}

// The canned video whose 256 MiB stream breaks off half way in its first two GETs.
TEST_F(CliProgramTest, AKilledDownloadLooksUnfinishedAndTheNextRunResumesIt)
{
    const QString link = QStringLiteral("http://www.youtube.com/watch?v=vidlark0009");
    const QString name = workDir.filePath(QStringLiteral("Flaky Stream_(360p).flv"));
    const qint64 Size = qint64(1) << 28;
    QProcess first;
    startCli(first, {link});
    ASSERT_TRUE(first.waitForStarted());
    QElapsedTimer waited;
    waited.start();
    while (QFileInfo(name + QStringLiteral(".part")).size() < (qint64(8) << 20) &&
           waited.elapsed() < 30000 && first.state() == QProcess::Running)
        QThread::msleep(2);
    ASSERT_EQ(first.state(), QProcess::Running) << "the download ended before it was killed";
    first.kill(); // SIGKILL: no handler, no clean-up
    ASSERT_TRUE(first.waitForFinished(10000));

    // Nothing under the name; the part holds what arrived, never more, and
    // its record says how to continue.
    EXPECT_FALSE(QFile::exists(name));
    const qint64 held = QFileInfo(name + QStringLiteral(".part")).size();
    EXPECT_GE(held, qint64(8) << 20);
    EXPECT_LT(held, Size);
    EXPECT_TRUE(
        contentsOf(name + QStringLiteral(".resume")).contains("validator: \"vidlark0009-34-v0\""));

    const Outcome second = runCli({link});
    EXPECT_EQ(second.exitCode, 0) << second.err.toStdString();
    // The cut half way brought bytes: the next attempt follows at once, without a pause.
    EXPECT_FALSE(second.out.contains(QStringLiteral("retrying"))) << second.out.toStdString();
    // The stream's GETs of both runs: the lookup's and the first run's ask for
    // everything; the second run continues the part, is cut half way, and
    // continues again.
    const QByteArrayList ranges = streamRanges();
    ASSERT_GE(ranges.size(), 3) << ranges.join(" ").toStdString();
    EXPECT_EQ(ranges.count("-"), ranges.size() - 2) << ranges.join(" ").toStdString();
    const QByteArray resumed = ranges.at(ranges.size() - 2);
    ASSERT_TRUE(resumed.startsWith("bytes=")) << resumed.toStdString();
    EXPECT_GE(resumed.mid(6).chopped(1).toLongLong(), held);
    EXPECT_GT(ranges.last().mid(6).chopped(1).toLongLong(), resumed.mid(6).chopped(1).toLongLong());
    EXPECT_FALSE(QFile::exists(name + QStringLiteral(".part")));
    EXPECT_FALSE(QFile::exists(name + QStringLiteral(".resume")));

    QFile saved(name);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    ASSERT_EQ(saved.size(), Size);
    const qint64 Chunk = qint64(8) << 20;
    for (qint64 at = 0; at < Size; at += Chunk) {
        if (saved.read(Chunk) != bulkBytes(at, Chunk)) {
            ADD_FAILURE() << "the bytes differ in the 8 MiB from " << at;
            break;
        }
    }
}

// The 1 GiB stream over four connections, killed mid-way: the record vouches
// only for bytes the part holds, and the next run asks none of them again.
TEST_F(CliProgramTest, AKilledDownloadOverSeveralConnectionsResumesOnlyWhatIsMissing)
{
    const QStringList arguments = {QStringLiteral("--connections"), QStringLiteral("4"),
                                   QStringLiteral("http://www.youtube.com/watch?v=vidlark0008")};
    const QString name = workDir.filePath(QStringLiteral("Big Generated Stream_(360p).flv"));
    const qint64 Size = qint64(1) << 30;
    QProcess first;
    startCli(first, arguments);
    ASSERT_TRUE(first.waitForStarted());
    QElapsedTimer waited;
    waited.start();
    while (QFileInfo(name + QStringLiteral(".part")).size() < (qint64(64) << 20) &&
           waited.elapsed() < 30000 && first.state() == QProcess::Running)
        QThread::msleep(2);
    ASSERT_EQ(first.state(), QProcess::Running) << "the download ended before it was killed";
    first.kill(); // SIGKILL: no handler, no clean-up
    ASSERT_TRUE(first.waitForFinished(10000));

    const std::optional<ResumeRecord> left =
        parseResumeRecord(contentsOf(name + QStringLiteral(".resume")));
    ASSERT_TRUE(left.has_value());
    const QList<ByteExtent> vouched =
        left->extents.isEmpty() ? QList<ByteExtent>{{0, left->held}} : left->extents;
    ASSERT_FALSE(vouched.isEmpty());
    QFile part(name + QStringLiteral(".part"));
    ASSERT_TRUE(part.open(QIODevice::ReadOnly));
    for (const ByteExtent &extent : vouched) {
        ASSERT_TRUE(part.seek(extent.first));
        EXPECT_TRUE(part.read(extent.size()) == bulkBytes(extent.first, extent.size()))
            << extent.first << "-" << extent.end;
    }
    part.close();

    const qsizetype before = streamRanges().size();
    const Outcome second = runCli(arguments);
    EXPECT_EQ(second.exitCode, 0) << second.err.toStdString();
    for (const QByteArray &range : streamRanges().mid(before)) {
        const auto asked = ResourceAnswer::parseRange(range);
        for (const ByteExtent &extent : vouched)
            EXPECT_FALSE(asked && asked->first >= extent.first && asked->first < extent.end)
                << range.toStdString();
    }
    QFile saved(name);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    ASSERT_EQ(saved.size(), Size);
    const qint64 Chunk = qint64(8) << 20;
    for (qint64 at = 0; at < Size; at += Chunk) {
        if (saved.read(Chunk) != bulkBytes(at, Chunk)) {
            ADD_FAILURE() << "the bytes differ in the 8 MiB from " << at;
            break;
        }
    }
}

TEST_F(CliProgramTest, UnknownLinkIsAnError)
{
    const Outcome outcome = runCli({QStringLiteral("http://www.youtube.com/watch?v=nosuchvideo")});
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(outcome.err, QStringLiteral("Error: No video to download.\n"));
    EXPECT_TRUE(QDir(workDir.path()).entryList(QDir::Files).isEmpty());
}

// Several videos through real yt-dlp, in one folder run after run: a list
// (its one video, then all of it, then again with nothing new) and a batch
// file with a bad link in the middle.
TEST_F(CliProgramTest, ManyVideosListsAndBatchFiles)
{
    const QString page = QStringLiteral("http://media.sample.test/pages/clip-");
    const QString list = QStringLiteral("http://media.sample.test/lists/sample.rss");
    QFile batch(workDir.filePath(QStringLiteral("links.txt")));
    ASSERT_TRUE(batch.open(QIODevice::WriteOnly));
    batch.write(QStringList{QStringLiteral("# clips"),
                            page + QLatin1Char('2'),
                            {},
                            QStringLiteral("  ") + page + QLatin1Char('9'),
                            page + QLatin1Char('3')}
                    .join(QLatin1Char('\n'))
                    .toUtf8());
    batch.close();
    const QString clip = QStringLiteral("Sample List/Sample Clip %1 (1).mp4");
    const struct
    {
        QStringList arguments;
        int exitCode;
        QStringList newFiles;
        QString summary; // the end of standard error
    } runs[]{
        {{QStringLiteral("--no-playlist"), list},
         0,
         {QStringLiteral("Sample Clip 1.mp4")},
         QStringLiteral("Download is complete\nCheck \"Sample Clip 1.mp4\"\n")},
        {{QStringLiteral("--playlist"), list},
         0,
         {clip.arg(1), clip.arg(2), clip.arg(3), QStringLiteral("Sample List/.vidlark-archive")},
         QStringLiteral("Information: Saved 3 of 3 videos.\n")},
        {{QStringLiteral("--playlist"), list},
         0,
         {},
         QStringLiteral("Information: Nothing new to download: the 3 videos of this list were "
                        "saved before.\n")},
        {{QStringLiteral("--dir=batch"), QStringLiteral("-a"), QStringLiteral("links.txt")},
         1,
         {QStringLiteral("batch/Sample Clip 2 (1).mp4"),
          QStringLiteral("batch/Sample Clip 3 (1).mp4")},
         QStringLiteral("Error: Saved 2 of 3 videos.\n") + page + QStringLiteral("9: No video")},
    };
    QDir(workDir.path()).mkdir(QStringLiteral("batch"));
    QStringList files;
    for (const auto &run : runs) {
        SCOPED_TRACE(run.arguments.join(QLatin1Char(' ')).toStdString());
        const Outcome outcome = runCli(run.arguments);
        EXPECT_EQ(outcome.exitCode, run.exitCode) << outcome.err.toStdString();
        const qsizetype at = outcome.err.lastIndexOf(run.summary.left(20));
        EXPECT_EQ(outcome.err.mid(at, run.summary.size()), run.summary);
        files += run.newFiles;
        files.sort();
        QStringList found;
        for (const QString &folder :
             {QString(), QStringLiteral("Sample List/"), QStringLiteral("batch/")})
            for (const QString &name :
                 QDir(workDir.filePath(folder)).entryList(QDir::Files | QDir::Hidden))
                if (name != QStringLiteral("links.txt"))
                    found << folder + name;
        found.sort();
        EXPECT_EQ(found, files);
    }
}

TEST_F(CliProgramTest, BadUsageExits64WithTheUsage)
{
    for (const QStringList &arguments :
         {QStringList{},
          QStringList{QStringLiteral("--format"), QStringLiteral("12"), QStringLiteral("x")},
          QStringList{QStringLiteral("--bogus"), QStringLiteral("x")}}) {
        SCOPED_TRACE(arguments.join(QLatin1Char(' ')).toStdString());
        const Outcome outcome = runCli(arguments);
        EXPECT_EQ(outcome.exitCode, 64);
        EXPECT_TRUE(outcome.err.contains(QStringLiteral("Usage: vidlark-cli")));
        EXPECT_TRUE(outcome.out.isEmpty());
    }
}

TEST(InterruptCounter, CountsPressesAndLetsTheThirdEndTheProgram)
{
    struct sigaction before = {};
    sigaction(SIGINT, nullptr, &before);
    {
        InterruptCounter counter;
        EXPECT_EQ(counter.take(), 0);
        std::raise(SIGINT);
        EXPECT_EQ(counter.take(), 1);
        EXPECT_EQ(counter.take(), 0);
        std::raise(SIGINT);
        EXPECT_EQ(counter.take(), 1);
        struct sigaction now = {};
        sigaction(SIGINT, nullptr, &now);
        EXPECT_EQ(now.sa_handler, SIG_DFL);
    }
    struct sigaction after = {};
    sigaction(SIGINT, nullptr, &after);
    EXPECT_EQ(after.sa_handler, before.sa_handler);
}
