// Downloads that fail part way: what is tried again, after what pause, and
// what a failure leaves.
#include "ResumeFixture.h"

#include <QDir>
#include <QProcess>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

TEST_F(ResumeTest, AFlakyStreamCompletesByteExactThroughRetries)
{
    const qint64 Size = 3000000;
    const struct
    {
        const char *mode;
        QByteArrayList ranges; // of the three GETs
        const char *retryLine; // none: an attempt that brought bytes goes on at once
    } cases[] = {
        {"cut",
         {"-", "bytes=1500000- \"bulk-3000000-v0\"", "bytes=2250000- \"bulk-3000000-v0\""},
         nullptr},
        // A reset may drop what the client had not read yet: the ranges start
        // wherever the bytes received end.
        {"reset", {}, nullptr},
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
        if (c.retryLine) {
            EXPECT_TRUE(window.calls.contains(QStringLiteral("status line ") +
                                              QString::fromLatin1(c.retryLine)));
        }
        EXPECT_EQ(window.calls.contains(QStringLiteral("status panel Status: Retrying...")),
                  c.retryLine != nullptr);
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
        TransferResult result = TransferResult::Failed;
    } cases[] = {
        {"no body", "/bulk/100000?cut=0", false, false},
        // Refused before any byte: no disk here holds it.
        {"a huge Content-Length", "/bulk/1000?length=999999999999", false, false,
         TransferResult::DiskFull},
        {"a short body of a declared length", "/bulk/1000?length=2000", true, true},
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
        EXPECT_EQ(download(QString::fromLatin1(c.path)), c.result);
        EXPECT_EQ(contentsOf(target()), "an older download");
        EXPECT_EQ(QFileInfo(part()).size() > 0, c.partLeft);
        EXPECT_EQ(QFile::exists(record()), c.recordLeft);
        if (c.partLeft) {
            EXPECT_TRUE(contentsOf(part()) == bulkBytes(0, QFileInfo(part()).size()));
        }
    }
}

TEST_F(ResumeTest, AStopDuringThePauseKeepsWhatArrived)
{
    settings.retry.firstDelay = 30s;
    settings.retry.maxDelay = 30s;
    transfer.setSettings(settings);
    // The bytes of the first answer, then no server: the Stop is pressed in
    // the pause after the attempt that found none.
    goneAt(300000);
    client.setEventPump([this] {
        if (window.statusLine.startsWith(QStringLiteral("Connection failed")))
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
    service.start();
    window.calls.clear();
    goneAt(300000);
    client.setEventPump([this] {
        if (window.statusLine.startsWith(QStringLiteral("Connection failed")))
            state.DownloadState = dsClosing;
    });
    const auto closing = std::chrono::steady_clock::now();
    EXPECT_EQ(download(QStringLiteral("/bulk/1000000?flaky=2&flakyat=300000&case=2")),
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
    // A declared length past the room left is refused before its body; a body
    // without one fills the disk, and what arrived stays.
    for (const char *mode : {"length", "chunked"}) {
        SCOPED_TRACE(mode);
        service.clearRequests();
        const TransferResult result = transfer.DownloadToFile(
            url(QStringLiteral("/bulk/3000000?mode=%1").arg(QLatin1String(mode))), saved);
        EXPECT_EQ(result, TransferResult::DiskFull);
        EXPECT_EQ(contentsOf(saved), "an older download");
        const qint64 partSize = QFileInfo(PartialFile::partPath(saved)).size();
        EXPECT_EQ(partSize > 100000, QByteArray(mode) == "chunked");
        EXPECT_EQ(ranges().size(), 1); // a full disk is not tried again
        QFile::remove(PartialFile::partPath(saved));
    }
    ::umount(where.constData());
}

} // namespace
