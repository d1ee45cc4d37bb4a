#include "ServiceReply.h"
#include "TransferAgainstService.h"
#include "steps/ResumeRecord.h"

#include <QDir>
#include <QProcess>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

// Downloads that fail part way, are stopped, killed or find the remote
// changed, against the sample service's ranges, validators and faults.
class ResumeTest : public TransferAgainstService
{
protected:
    void SetUp() override
    {
        TransferAgainstService::SetUp();
        client.setEventPump([] {});
        client.setStallTimeout(1s);
    }
    QString record() const { return PartialFile::recordPath(target()); }
    TransferResult download(const QString &pathAndQuery)
    {
        state.DownloadState = dsDownloading;
        return transfer.DownloadToFile(url(pathAndQuery), target());
    }
    std::optional<ResumeRecord> readRecord() const
    {
        return parseResumeRecord(contentsOf(record()));
    }
    // The Range and If-Range of each GET the service saw, "-" for none.
    QByteArrayList ranges() const
    {
        QByteArrayList seen;
        for (const ServiceRequest &request : service.requests()) {
            if (request.method != "GET")
                continue;
            const QByteArray range = request.header("Range");
            seen.append(range.isEmpty() ? QByteArray("-")
                                        : range + " " + request.header("If-Range"));
        }
        return seen;
    }
    // The user presses Stop during the nth message pass of the transfer.
    void stopAtPass(int n)
    {
        window.onMessagePass = [this, n, passes = 0]() mutable {
            if (++passes == n)
                state.DownloadState = dsStopRequested;
        };
    }
};

TEST_F(ResumeTest, AFlakyStreamCompletesByteExactThroughRetries)
{
    const qint64 Size = 3000000;
    const struct
    {
        const char *mode;
        QByteArrayList ranges; // of the three GETs
        const char *retryLine;
    } cases[] = {
        {"cut",
         {"-", "bytes=1500000- \"bulk-3000000-v0\"", "bytes=2250000- \"bulk-3000000-v0\""},
         "Connection lost, retrying in 1 s (2 of 5)..."},
        // A reset may drop what the client had not read yet: the ranges start
        // wherever the bytes received end.
        {"reset", {}, "Connection lost, retrying in 1 s (2 of 5)..."},
        // Nothing was received before the next attempt: nothing to continue.
        {"status", {"-", "-", "-"}, "Server error 503, retrying in 1 s (2 of 5)..."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.mode);
        service.clearRequests();
        window.calls.clear();
        // Each case its own resource, so each counts its own flaky GETs.
        const QString path = QStringLiteral("/bulk/%1?flaky=2&flakymode=%2&case=%2")
                                 .arg(Size)
                                 .arg(QLatin1String(c.mode));
        ASSERT_EQ(download(path), TransferResult::Done);
        EXPECT_TRUE(contentsOf(target()) == bulkBytes(0, Size));
        const QByteArrayList seen = ranges();
        ASSERT_EQ(seen.size(), 3);
        if (!c.ranges.isEmpty()) {
            EXPECT_EQ(seen, c.ranges);
        }
        for (qsizetype i = 1; i < seen.size() && c.ranges.isEmpty(); ++i)
            EXPECT_TRUE(seen[i].endsWith("- \"bulk-3000000-v0\"")) << seen[i].toStdString();
        EXPECT_FALSE(QFile::exists(part()));
        EXPECT_FALSE(QFile::exists(record()));
        EXPECT_TRUE(window.calls.contains(QStringLiteral("status line ") +
                                          QString::fromLatin1(c.retryLine)));
        EXPECT_TRUE(window.calls.contains(QStringLiteral("status panel Status: Retrying...")));
        // The bar and the texts count the whole file, the bytes already there included.
        EXPECT_EQ(state.TotalSize, quint32(Size));
        EXPECT_EQ(window.calls.filter(QStringLiteral("ShowTransferProgress")).last(),
                  QStringLiteral("ShowTransferProgress 3000000 of 3000000"));
        EXPECT_EQ(window.statusLine,
                  QStringLiteral("Downloading... 2.86 MB of 2.86 MB - \"Clip.flv\""));
    }
}

TEST_F(ResumeTest, AStalledStreamIsTriedAgainAfterTheBound)
{
    ASSERT_EQ(download(QStringLiteral("/bulk/400000?flaky=1&flakymode=stall&flakyat=100000")),
              TransferResult::Done);
    EXPECT_TRUE(contentsOf(target()) == bulkBytes(0, 400000));
    EXPECT_EQ(ranges(), (QByteArrayList{"-", "bytes=100000- \"bulk-400000-v0\""}));
}

TEST_F(ResumeTest, RetryAfterIsHonouredUpToTheCap)
{
    settings.retry.firstDelay = 1ms;
    settings.retry.retryAfterCap = 1500ms;
    transfer.setSettings(settings);
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(download(QStringLiteral("/bulk/1000?flaky=1&flakymode=status&retryafter=1")),
              TransferResult::Done);
    EXPECT_GE(std::chrono::steady_clock::now() - started, 1s);
    EXPECT_TRUE(window.calls.contains(
        QStringLiteral("status line Server error 503, retrying in 1 s (2 of 5)...")));

    // Past the cap the pause is the cap's.
    settings.retry.retryAfterCap = 50ms;
    transfer.setSettings(settings);
    const auto again = std::chrono::steady_clock::now();
    ASSERT_EQ(download(QStringLiteral("/bulk/1001?flaky=1&flakymode=status&retryafter=3600")),
              TransferResult::Done);
    EXPECT_LT(std::chrono::steady_clock::now() - again, 1s);
}

TEST_F(ResumeTest, OnlyFailuresThatMayPassAreTriedAgain)
{
    const struct
    {
        const char *path;
        int gets;
    } cases[] = {
        {"/bulk/1000?status=404", 1},          {"/bulk/1000?status=403", 1},
        {"/bulk/1000?status=416", 1},          {"/bulk/1000?status=501", 1},
        {"/bulk/1000?status=408", 5},          {"/bulk/1000?status=429", 5},
        {"/bulk/1000?status=500", 5},          {"/bulk/1000?status=502", 5},
        {"/bulk/1000?status=503", 5},          {"/bulk/1000?status=504", 5},
        {"/bulk/1000?mode=chunked&cut=10", 5},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        service.clearRequests();
        EXPECT_EQ(download(QString::fromLatin1(c.path)), TransferResult::Failed);
        EXPECT_EQ(ranges().size(), c.gets);
    }
    // A refused connection, each attempt.
    SampleService closed;
    closed.start();
    const QString refused = closed.baseUrl() + QStringLiteral("/bulk/1000");
    closed.stop();
    window.calls.clear();
    EXPECT_EQ(transfer.DownloadToFile(refused, target()), TransferResult::Failed);
    EXPECT_EQ(window.calls.filter(QStringLiteral("status line Connection failed, retrying")).size(),
              4);
    EXPECT_TRUE(window.calls.contains(
        QStringLiteral("status line Connection failed, retrying in 1 s (5 of 5)...")));
}

TEST_F(ResumeTest, AnOlderFileSurvivesEveryFailure)
{
    settings.retry.attempts = 2;
    transfer.setSettings(settings);
    const struct
    {
        const char *name;
        const char *path;
        bool partLeft; // bytes arrived and stay in the partial file
        bool recordLeft;
    } cases[] = {
        {"no body", "/bulk/100000?cut=0", false, false},
        {"a huge Content-Length", "/bulk/1000?length=999999999999", true, true},
        {"cut", "/bulk/300000?mode=chunked&cut=1000", true, false},
        {"reset", "/bulk/300000?mode=chunked&reset=1000", true, false},
        {"stall", "/bulk/300000?mode=chunked&stall=1000", true, false},
        {"4xx", "/bulk/1000?status=403", false, false},
        {"5xx", "/bulk/1000?status=503", false, false},
        {"a redirect that goes nowhere", "/redirect/15/bulk/1000", false, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        for (const QString &left : {part(), record()})
            QFile::remove(left);
        writeOldFile();
        EXPECT_EQ(download(QString::fromLatin1(c.path)), TransferResult::Failed);
        EXPECT_EQ(contentsOf(target()), "an older download");
        EXPECT_EQ(QFileInfo(part()).size() > 0, c.partLeft);
        EXPECT_EQ(QFile::exists(record()), c.recordLeft);
        if (c.partLeft) {
            EXPECT_TRUE(contentsOf(part()) == bulkBytes(0, QFileInfo(part()).size()));
        }
    }
}

TEST_F(ResumeTest, AFailureLeavesTheRecordForTheNextJob)
{
    settings.retry.attempts = 1;
    transfer.setSettings(settings);
    ASSERT_EQ(download(QStringLiteral("/bulk/500000?flaky=1&flakyat=200000")),
              TransferResult::Failed);
    EXPECT_FALSE(QFile::exists(target()));
    EXPECT_EQ(QFileInfo(part()).size(), 200000);
    const std::optional<ResumeRecord> left = readRecord();
    ASSERT_TRUE(left.has_value());
    EXPECT_EQ(left->validator, "\"bulk-500000-v0\"");
    EXPECT_EQ(left->total, 500000);
    EXPECT_EQ(left->held, 200000);
    EXPECT_FALSE(left->inTarget);

    service.clearRequests();
    ASSERT_EQ(download(QStringLiteral("/bulk/500000?flaky=1&flakyat=200000")),
              TransferResult::Done);
    EXPECT_EQ(ranges(), QByteArrayList{"bytes=200000- \"bulk-500000-v0\""});
    EXPECT_TRUE(contentsOf(target()) == bulkBytes(0, 500000));
    EXPECT_FALSE(QFile::exists(part()));
    EXPECT_FALSE(QFile::exists(record()));
}

TEST_F(ResumeTest, StopThenDownloadAgainResumesByteExact)
{
    const qint64 Size = 20000000;
    const QString path = QStringLiteral("/bulk/%1").arg(Size);
    stopAtPass(5);
    ASSERT_EQ(download(path), TransferResult::Done);
    // The part received stands under the name, marked as partial.
    const qint64 held = QFileInfo(target()).size();
    ASSERT_GT(held, 0);
    ASSERT_LT(held, Size);
    EXPECT_FALSE(QFile::exists(part()));
    const std::optional<ResumeRecord> left = readRecord();
    ASSERT_TRUE(left.has_value());
    EXPECT_TRUE(left->inTarget);
    EXPECT_EQ(left->held, held);

    window.onMessagePass = nullptr;
    window.calls.clear();
    service.clearRequests();
    ASSERT_EQ(download(path), TransferResult::Done);
    EXPECT_EQ(ranges(),
              QByteArrayList{"bytes=" + QByteArray::number(held) + "- \"bulk-20000000-v0\""});
    EXPECT_TRUE(contentsOf(target()) == bulkBytes(0, Size));
    EXPECT_FALSE(QFile::exists(record()));
    // The first step already counts the bytes that were there.
    const QString first = window.calls.filter(QStringLiteral("ShowTransferProgress")).first();
    EXPECT_GT(first.section(QLatin1Char(' '), 1, 1).toLongLong(), held);
    EXPECT_TRUE(window.calls.contains(QStringLiteral("bar maximum 20000000")));
}

TEST_F(ResumeTest, AChangedRemoteRestartsFromZero)
{
    const qint64 Size = 2000000;
    const QString path = QStringLiteral("/bulk/%1?changing=1").arg(Size);
    stopAtPass(5);
    ASSERT_EQ(download(path), TransferResult::Done);
    const qint64 held = QFileInfo(target()).size();
    ASSERT_LT(held, Size);
    ASSERT_TRUE(contentsOf(target()) == bulkBytes(0, held, 0));

    window.onMessagePass = nullptr;
    service.clearRequests();
    ASSERT_EQ(download(path), TransferResult::Done);
    // It asked to continue version 0; the answer was all of version 1.
    EXPECT_EQ(ranges(),
              QByteArrayList{"bytes=" + QByteArray::number(held) + "- \"bulk-2000000-v0\""});
    EXPECT_TRUE(contentsOf(target()) == bulkBytes(0, Size, 1));
}

TEST_F(ResumeTest, AnswersThatDoNotContinueTheFileStartAfresh)
{
    const qint64 Size = 1000000;
    const struct
    {
        const char *name;
        const char *query; // of the second job
        QByteArrayList ranges;
    } cases[] = {
        // No ranges: the whole body again.
        {"ranges ignored", "ranges=0", {"bytes=HELD- \"bulk-1000000-v0\""}},
        // A weak validator cannot be trusted to continue a file.
        {"weak validator", "validator=weak", {"bytes=HELD- \"bulk-1000000-v0\""}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        for (const QString &left : {target(), part(), record()})
            QFile::remove(left);
        stopAtPass(3);
        ASSERT_EQ(download(QStringLiteral("/bulk/%1").arg(Size)), TransferResult::Done);
        const qint64 held = QFileInfo(target()).size();
        ASSERT_TRUE(readRecord().has_value());
        // The same stream: the record's identity is the path without the query's faults.
        window.onMessagePass = nullptr;
        service.clearRequests();
        const QString again =
            QStringLiteral("/bulk/%1?%2").arg(Size).arg(QString::fromLatin1(c.query));
        // The record names the stream without these keys only when it is told
        // the same URL, so the second job is given the first one's record.
        ResumeRecord moved = *readRecord();
        moved.identity = StreamIdentity(url(again));
        QFile file(record());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(formatResumeRecord(moved));
        file.close();
        ASSERT_EQ(download(again), TransferResult::Done);
        QByteArrayList expected = c.ranges;
        for (QByteArray &line : expected)
            line.replace("HELD", QByteArray::number(held));
        EXPECT_EQ(ranges(), expected);
        EXPECT_TRUE(contentsOf(target()) == bulkBytes(0, Size));
    }
}

TEST_F(ResumeTest, NoValidatorOrNoLengthMeansNothingToResume)
{
    for (const char *query : {"validator=none", "mode=chunked", "mode=close"}) {
        SCOPED_TRACE(query);
        for (const QString &left : {target(), part(), record()})
            QFile::remove(left);
        const QString path = QStringLiteral("/bulk/5000000?") + QString::fromLatin1(query);
        stopAtPass(3);
        download(path);
        EXPECT_FALSE(QFile::exists(record()));
        window.onMessagePass = nullptr;
        service.clearRequests();
        ASSERT_EQ(download(path), TransferResult::Done);
        EXPECT_EQ(ranges(), QByteArrayList{"-"});
        EXPECT_TRUE(contentsOf(target()) == bulkBytes(0, 5000000));
    }
}

TEST_F(ResumeTest, ARangeAtTheEndStartsAfresh)
{
    // A partial file as long as the whole, left by a crash before the rename.
    QFile whole(part());
    ASSERT_TRUE(whole.open(QIODevice::WriteOnly));
    whole.write(bulkBytes(0, 1000));
    whole.close();
    QFile file(record());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(formatResumeRecord(
        {StreamIdentity(url(QStringLiteral("/bulk/2000"))), "\"bulk-2000-v0\"", 1000, false, -1}));
    file.close();
    ASSERT_EQ(download(QStringLiteral("/bulk/2000")), TransferResult::Done);
    EXPECT_EQ(ranges(), QByteArrayList{"-"}); // a held length past the total is not continued
    EXPECT_TRUE(contentsOf(target()) == bulkBytes(0, 2000));

    // The server says 416 to a start at its end.
    writeOldFile();
    ASSERT_TRUE(whole.open(QIODevice::WriteOnly | QIODevice::Truncate));
    whole.write(bulkBytes(0, 1500));
    whole.close();
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(formatResumeRecord({StreamIdentity(url(QStringLiteral("/bulk/1500?length=3000"))),
                                   "\"bulk-1500-v0\"", 3000, false, -1}));
    file.close();
    service.clearRequests();
    EXPECT_EQ(download(QStringLiteral("/bulk/1500?length=3000")), TransferResult::Failed);
    ASSERT_GE(ranges().size(), 2);
    EXPECT_EQ(ranges().at(0), "bytes=1500- \"bulk-1500-v0\"");
    EXPECT_EQ(ranges().at(1), "-");
    EXPECT_EQ(contentsOf(target()), "an older download");
}

TEST_F(ResumeTest, ALeftoverPartialFileOfAnotherStreamNeverBlocks)
{
    QFile stale(part());
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("bytes of something else");
    stale.close();
    ASSERT_EQ(download(QStringLiteral("/bulk/3000")), TransferResult::Done);
    EXPECT_EQ(ranges(), QByteArrayList{"-"});
    EXPECT_TRUE(contentsOf(target()) == bulkBytes(0, 3000));

    // A record of another stream is no reason to continue either.
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write(bulkBytes(0, 1000));
    stale.close();
    QFile file(record());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(formatResumeRecord({QStringLiteral("/other"), "\"bulk-3000-v0\"", 3000, false, -1}));
    file.close();
    service.clearRequests();
    ASSERT_EQ(download(QStringLiteral("/bulk/3000")), TransferResult::Done);
    EXPECT_EQ(ranges(), QByteArrayList{"-"});
    EXPECT_FALSE(QFile::exists(record()));
}

TEST_F(ResumeTest, NoContinueStartsAfresh)
{
    stopAtPass(3);
    ASSERT_EQ(download(QStringLiteral("/bulk/5000000")), TransferResult::Done);
    ASSERT_TRUE(readRecord().has_value());
    settings.resume = false;
    transfer.setSettings(settings);
    window.onMessagePass = nullptr;
    service.clearRequests();
    ASSERT_EQ(download(QStringLiteral("/bulk/5000000")), TransferResult::Done);
    EXPECT_EQ(ranges(), QByteArrayList{"-"});
    EXPECT_TRUE(contentsOf(target()) == bulkBytes(0, 5000000));
}

TEST_F(ResumeTest, ALinkInPlaceOfThePartialFileIsNeverWrittenThrough)
{
    const QString elsewhere = saveDir.filePath(QStringLiteral("precious"));
    QFile precious(elsewhere);
    ASSERT_TRUE(precious.open(QIODevice::WriteOnly));
    precious.write("keep me");
    precious.close();
    ASSERT_TRUE(QFile::link(elsewhere, part()));
    ASSERT_EQ(download(QStringLiteral("/bulk/3000")), TransferResult::Done);
    EXPECT_EQ(contentsOf(elsewhere), "keep me");
    EXPECT_TRUE(contentsOf(target()) == bulkBytes(0, 3000));

    // Nor through a hard link.
    ASSERT_EQ(
        ::link(QFile::encodeName(elsewhere).constData(), QFile::encodeName(part()).constData()), 0);
    ASSERT_EQ(download(QStringLiteral("/bulk/3000")), TransferResult::Done);
    EXPECT_EQ(contentsOf(elsewhere), "keep me");
}

TEST_F(ResumeTest, ASecondProgramSavingTheSameNameFindsTheLock)
{
    writeOldFile();
    // The other program holds the partial file open and locked.
    const int other = ::open(QFile::encodeName(part()).constData(), O_RDWR | O_CREAT, 0666);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
    ASSERT_EQ(::write(other, "theirs", 6), 6);
    EXPECT_EQ(download(QStringLiteral("/bulk/3000")), TransferResult::FileInUse);
    EXPECT_TRUE(ranges().isEmpty());
    EXPECT_EQ(contentsOf(target()), "an older download");
    EXPECT_EQ(contentsOf(part()), "theirs");
    ::close(other);
    // Once it is done with it, the name is free again.
    ASSERT_EQ(download(QStringLiteral("/bulk/3000")), TransferResult::Done);
    EXPECT_TRUE(contentsOf(target()) == bulkBytes(0, 3000));
}

TEST_F(ResumeTest, AStopDuringThePauseKeepsWhatArrived)
{
    settings.retry.firstDelay = 30s;
    settings.retry.maxDelay = 30s;
    transfer.setSettings(settings);
    // The Stop is pressed in the pause before the second attempt.
    client.setEventPump([this] {
        if (window.statusLine.startsWith(QStringLiteral("Connection lost")))
            state.DownloadState = dsStopRequested;
    });
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(download(QStringLiteral("/bulk/1000000?flaky=1&flakyat=300000")),
              TransferResult::Done);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
    EXPECT_TRUE(contentsOf(target()) == bulkBytes(0, 300000));
    EXPECT_TRUE(readRecord().has_value() && readRecord()->inTarget);

    // Closing the window in the pause ends it too, and the part waits for a resume.
    for (const QString &left : {target(), part(), record()})
        QFile::remove(left);
    client.setEventPump([this] {
        if (window.statusLine.startsWith(QStringLiteral("Connection lost")))
            state.DownloadState = dsClosing;
    });
    const auto closing = std::chrono::steady_clock::now();
    EXPECT_EQ(download(QStringLiteral("/bulk/1000000?flaky=2&flakyat=300000")),
              TransferResult::Failed);
    EXPECT_LT(std::chrono::steady_clock::now() - closing, 5s);
    EXPECT_FALSE(QFile::exists(target()));
    EXPECT_EQ(QFileInfo(part()).size(), 300000);
    EXPECT_TRUE(readRecord().has_value());
}

// A full disk: a small tmpfs the test mounts, which needs root.
TEST_F(ResumeTest, AFullDiskIsNotRetriedAndLeavesTheOlderFile)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    QTemporaryDir mountPoint;
    ASSERT_TRUE(mountPoint.isValid());
    const QByteArray where = QFile::encodeName(mountPoint.path());
    if (::mount("vidlark-full", where.constData(), "tmpfs", 0, "size=256k") != 0)
        GTEST_SKIP() << "tmpfs could not be mounted here: " << std::strerror(errno);
    const QString saved = mountPoint.filePath(QStringLiteral("Clip.flv"));
    {
        QFile old(saved);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("an older download");
    }
    const TransferResult result =
        transfer.DownloadToFile(url(QStringLiteral("/bulk/3000000")), saved);
    const QByteArray oldContents = contentsOf(saved);
    const qint64 partSize = QFileInfo(PartialFile::partPath(saved)).size();
    const bool recordLeft = QFile::exists(PartialFile::recordPath(saved));
    ::umount(where.constData());
    EXPECT_EQ(result, TransferResult::Failed);
    EXPECT_EQ(oldContents, "an older download");
    EXPECT_GT(partSize, 100000);
    EXPECT_TRUE(recordLeft);
    EXPECT_EQ(ranges().size(), 1); // a full disk is not tried again
}

} // namespace
