#include "TransferAgainstService.h"

#include <QDir>

namespace {

using namespace std::chrono_literals;

class TransferTest : public TransferAgainstService
{
protected:
    void SetUp() override
    {
        TransferAgainstService::SetUp();
        client.setEventPump([this] { ++pumps; });
    }
    bool download(const QString &pathAndQuery)
    {
        return transfer.DownloadToFile(url(pathAndQuery), target()) == TransferResult::Done;
    }
    bool downloadTo(const QString &link, const QString &path)
    {
        return transfer.DownloadToFile(link, path) == TransferResult::Done;
    }
    // Steps the window was shown, by their byte counts.
    QList<qint64> shownCounts() const
    {
        QList<qint64> counts;
        for (const QString &call : window.calls) {
            if (call.startsWith(QLatin1String("ShowTransferProgress ")))
                counts.append(call.section(QLatin1Char(' '), 1, 1).toLongLong());
        }
        return counts;
    }

    int pumps = 0;
};

TEST_F(TransferTest, OutcomesFollowHowTheBodyEnded)
{
    const qint64 Full = 300000;
    const qint64 Part = 100000;
    const struct
    {
        const char *path;
        bool result;
        qint64 fileSize; // of the target; -1: no file
        qint64 partSize; // of the partial file left beside it; -1: none
    } cases[] = {
        {"/bulk/300000", true, Full, -1},
        {"/bulk/300000?mode=chunked", true, Full, -1},
        {"/bulk/300000?mode=close", true, Full, -1},
        {"/redirect/3/bulk/300000", true, Full, -1},
        // A body of declared length with a validator that the server cuts each
        // time after 100000 bytes: every retry continues, the third completes it.
        {"/bulk/300000?cut=100000", true, Full, -1},
        {"/bulk/300000?reset=100000", true, Full, -1},
        // Without a length nothing can be continued: each attempt starts again
        // and the last one's bytes stay in the partial file.
        {"/bulk/300000?mode=chunked&cut=100000", false, -1, Part},
        {"/bulk/300000?mode=chunked&reset=100000", false, -1, Part},
        // Read until close: nothing tells that more was coming.
        {"/bulk/300000?mode=close&cut=100000", true, Part, -1},
        {"/bulk/300000?mode=close&reset=100000", false, -1, Part},
        // The error page is read aside; no file is made.
        {"/bulk/5000?status=404", false, -1, -1},
        {"/bulk/5000?status=500&mode=chunked", false, -1, -1},
        {"/bulk/0", true, 0, -1},
        {"/bulk/10?status=302&location=file:///etc/passwd", false, -1, -1},
        // A chain of redirects too long to follow ends on a page, not the video.
        {"/redirect/15/bulk/300000", false, -1, -1},
        {"/redirect/40/bulk/300000", false, -1, -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        QFile::remove(target());
        QFile::remove(part());
        EXPECT_EQ(download(QString::fromLatin1(c.path)), c.result);
        for (const auto &[path, size] : {std::pair(target(), c.fileSize), {part(), c.partSize}}) {
            SCOPED_TRACE(path.toStdString());
            ASSERT_EQ(QFile::exists(path), size >= 0);
            if (size < 0)
                continue;
            const QByteArray contents = contentsOf(path);
            EXPECT_EQ(contents.size(), size);
            EXPECT_TRUE(contents == bulkBytes(0, contents.size()));
        }
    }
}

TEST_F(TransferTest, AFileUrlIsRefusedWithoutTouchingAnything)
{
    writeOldFile();
    for (const char *link : {"file:///etc/passwd", "ftp://127.0.0.1/video.flv"}) {
        SCOPED_TRACE(link);
        EXPECT_FALSE(downloadTo(QString::fromLatin1(link), target()));
        EXPECT_EQ(contentsOf(target()), "an older download");
    }
    EXPECT_TRUE(service.requests().empty());
}

TEST_F(TransferTest, AnOlderFileIsReplacedOnlyOnceTheBodyBegins)
{
    writeOldFile();
    SampleService closed;
    closed.start();
    const QString refused = closed.baseUrl() + QStringLiteral("/bulk/1000");
    closed.stop();
    EXPECT_FALSE(downloadTo(refused, target()));
    EXPECT_EQ(contentsOf(target()), "an older download");

    EXPECT_FALSE(download(QStringLiteral("/bulk/1000?status=403")));
    EXPECT_EQ(contentsOf(target()), "an older download");

    EXPECT_FALSE(download(QStringLiteral("/redirect/15/bulk/1000")));
    EXPECT_EQ(contentsOf(target()), "an older download");

    EXPECT_TRUE(download(QStringLiteral("/bulk/1000")));
    EXPECT_EQ(contentsOf(target()), bulkBytes(0, 1000));
}

TEST_F(TransferTest, AFolderThatCannotTakeTheFileFailsAndCreatesNothing)
{
    QFile notAFolder(saveDir.filePath(QStringLiteral("plain-file")));
    ASSERT_TRUE(notAFolder.open(QIODevice::WriteOnly));
    notAFolder.close();
    const QString paths[] = {
        notAFolder.fileName() + QStringLiteral("/Clip.flv"),
        saveDir.filePath(QStringLiteral("missing-folder/Clip.flv")),
        QStringLiteral("/proc/vidlark-cannot-write-here.flv"),
    };
    for (const QString &path : paths) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_FALSE(downloadTo(url(QStringLiteral("/bulk/1000")), path));
        EXPECT_FALSE(QFile::exists(path));
        EXPECT_FALSE(QFile::exists(path + QStringLiteral(".part")));
    }
}

TEST_F(TransferTest, ShowsProgressInOrderWhileDownloading)
{
    // The partial file holds the bytes received, no more, and the target
    // appears only once the body is whole.
    qint64 sizeDuringTransfer = -1;
    bool targetDuringTransfer = false;
    window.onMessagePass = [&] {
        if (sizeDuringTransfer < 0)
            sizeDuringTransfer = QFileInfo(part()).size();
        targetDuringTransfer = targetDuringTransfer || QFile::exists(target());
    };
    ASSERT_TRUE(download(QStringLiteral("/bulk/5000000")));
    EXPECT_GT(sizeDuringTransfer, 0);
    EXPECT_LE(sizeDuringTransfer, HttpClient::MaxPiece);
    EXPECT_FALSE(targetDuringTransfer);
    EXPECT_FALSE(QFile::exists(part()));
    const QStringList expectedStart = {
        QStringLiteral("bar position 0"),
        QStringLiteral("bar maximum 5000000"),
        QStringLiteral("status line Downloading \"Clip.flv\""),
        QStringLiteral("status panel Status: Downloading..."),
    };
    ASSERT_GE(window.calls.size(), 8);
    EXPECT_EQ(window.calls.mid(0, 4), expectedStart);
    EXPECT_EQ(state.TotalSize, 5000000u);
    // Each step: bar and taskbar, label, panel, one message pass.
    const QString first = window.calls[4];
    EXPECT_TRUE(first.startsWith(QLatin1String("ShowTransferProgress ")));
    EXPECT_TRUE(first.endsWith(QLatin1String(" of 5000000")));
    EXPECT_EQ(window.calls[6], QStringLiteral("status panel Status: Downloading..."));
    EXPECT_EQ(window.calls[7], QStringLiteral("message pass"));
    EXPECT_EQ(window.calls.last(), QStringLiteral("message pass"));

    const QList<qint64> counts = shownCounts();
    ASSERT_FALSE(counts.isEmpty());
    EXPECT_EQ(counts.last(), 5000000);
    for (qsizetype i = 0; i < counts.size(); ++i) {
        const qint64 step = counts[i] - (i ? counts[i - 1] : 0);
        EXPECT_GT(step, 0);
        EXPECT_LE(step, 32768);
    }
    EXPECT_EQ(window.calls.count(QStringLiteral("message pass")), counts.size());
    EXPECT_EQ(window.calls.filter(QStringLiteral("status line Downloading... ")).size(),
              counts.size());
}

TEST_F(TransferTest, TheLabelReadsBytesOfTheAnnouncedTotal)
{
    transfer.IdHTTP1WorkBegin(wmRead, 5000000);
    transfer.IdHTTP1Work(wmRead, 32768);
    EXPECT_EQ(window.statusLine, QStringLiteral("Downloading... 32 KB of 4.77 MB - \"Clip.flv\""));

    // 5 GiB wraps to its low 32 bits.
    transfer.IdHTTP1WorkBegin(wmRead, 5368709120);
    EXPECT_EQ(state.TotalSize, 1073741824u);
    EXPECT_TRUE(window.calls.contains(QStringLiteral("bar maximum 1073741824")));
    transfer.IdHTTP1Work(wmRead, 4294967296 + 32768);
    EXPECT_EQ(window.statusLine,
              QStringLiteral("Downloading... 4.000 GB of 1.000 GB - \"Clip.flv\""));
    EXPECT_EQ(window.calls.filter(QStringLiteral("ShowTransferProgress")).last(),
              QStringLiteral("ShowTransferProgress 4295000064 of 1073741824"));

    // A body of unknown length shows a total of 0 B.
    transfer.IdHTTP1WorkBegin(wmRead, 0);
    transfer.IdHTTP1Work(wmRead, 1000);
    EXPECT_EQ(window.statusLine, QStringLiteral("Downloading... 1000 B of 0 B - \"Clip.flv\""));
}

TEST_F(TransferTest, WorkEventsOutsideTheDownloadLeaveTheDisplayAlone)
{
    state.TotalSize = 77;
    for (const TDownloadState other : {dsResolving, dsConverting, dsIdle}) {
        SCOPED_TRACE(int(other));
        state.DownloadState = other;
        window.calls.clear();
        transfer.IdHTTP1WorkBegin(wmRead, 5000);
        transfer.IdHTTP1Work(wmRead, 100);
        transfer.IdHTTP1WorkEnd(wmRead);
        EXPECT_TRUE(window.calls.isEmpty());
        EXPECT_EQ(state.TotalSize, 77u);
    }
    // Nor does a write mode event while downloading.
    state.DownloadState = dsDownloading;
    transfer.IdHTTP1WorkBegin(wmWrite, 5000);
    transfer.IdHTTP1Work(wmWrite, 100);
    EXPECT_TRUE(window.calls.isEmpty());
    EXPECT_EQ(state.TotalSize, 77u);
}

TEST_F(TransferTest, NoWorkEventsForAnEmptyBody)
{
    EXPECT_TRUE(download(QStringLiteral("/bulk/0")));
    EXPECT_TRUE(window.calls.isEmpty());
    EXPECT_TRUE(QFile::exists(target()));
    EXPECT_EQ(QFileInfo(target()).size(), 0);
}

TEST_F(TransferTest, AStopInAWorkStepEndsByTransferCoding)
{
    const struct
    {
        const char *path;
        TDownloadState by;
        bool result;
    } cases[] = {
        {"/bulk/20000000", dsStopRequested, true},
        {"/bulk/20000000?mode=close", dsStopRequested, true},
        {"/bulk/20000000?mode=chunked", dsStopRequested, false},
        {"/bulk/20000000", dsClosing, false},
        {"/bulk/20000000?mode=chunked", dsClosing, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        for (const QString &left : {target(), part(), target() + QStringLiteral(".resume")})
            QFile::remove(left);
        state.DownloadState = dsDownloading;
        window.calls.clear();
        int passes = 0;
        // The user presses Stop (or closes the window) during the fifth pass.
        window.onMessagePass = [&] {
            if (++passes == 5)
                state.DownloadState = c.by;
        };
        EXPECT_EQ(download(QString::fromLatin1(c.path)), c.result);
        const QList<qint64> counts = shownCounts();
        ASSERT_EQ(counts.size(), 5);
        // The file holds exactly the bytes received, not the announced length:
        // the piece whose work step disconnected is in it too. What counts as
        // done stands under the target's name, the rest stays partial.
        EXPECT_EQ(QFile::exists(target()), c.result);
        const QByteArray contents = contentsOf(c.result ? target() : part());
        EXPECT_GT(contents.size(), counts.last());
        EXPECT_LE(contents.size(), counts.last() + HttpClient::MaxPiece);
        EXPECT_TRUE(contents == bulkBytes(0, contents.size()));
    }
}

TEST_F(TransferTest, AStopEndsAStalledTransfer)
{
    const struct
    {
        const char *path;
        qint64 stallAt;
    } cases[] = {{"/bulk/1000000?stall=100000", 100000}, {"/bulk/1000000?stall=0", 0}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        state.DownloadState = dsDownloading;
        state.TotalSize = 0;
        window.calls.clear();
        pumps = 0;
        // The Stop click is handled in an event pass once the server has gone silent.
        client.setEventPump([&] {
            const QList<qint64> shown = shownCounts();
            const bool silent =
                state.TotalSize != 0 && (shown.isEmpty() ? 0 : shown.last()) == c.stallAt;
            if (silent && ++pumps == 3)
                state.DownloadState = dsStopRequested;
        });
        const auto started = std::chrono::steady_clock::now();
        EXPECT_TRUE(download(QString::fromLatin1(c.path)));
        EXPECT_LT(std::chrono::steady_clock::now() - started, 20s); // failure guard only
        EXPECT_TRUE(contentsOf(target()) == bulkBytes(0, c.stallAt));
    }
}

TEST_F(TransferTest, DownloadSettingsStayForTheRequestsThatFollow)
{
    // As the lookup leaves them before the download of a first job.
    client.AllowCookies = false;
    client.Request.Referer = QStringLiteral("http://www.youtube.com/watch?v=Vk2xSample1");
    client.Request.UserAgent = QStringLiteral(
        "Mozilla/5.0 (Windows NT 6.1; WOW64; rv:14.0) Gecko/20100101 Firefox/14.0.1");
    client.Request.AcceptCharSet = QStringLiteral("*");
    client.HandleRedirects = false;
    ASSERT_TRUE(download(QStringLiteral("/redirect/2/bulk/1000?cookie=1")));
    EXPECT_EQ(contentsOf(target()), bulkBytes(0, 1000));

    // A stream check of the next job still carries them.
    client.Head(url(QStringLiteral("/bulk/10")));
    const QString host = QStringLiteral("Host: 127.0.0.1:%1").arg(service.port());
    const QStringList expected = {
        host,
        QStringLiteral("Referer: http://www.youtube.com/watch?v=Vk2xSample1"),
        QStringLiteral("User-Agent: Mozilla/5.0 (Windows; U; Windows NT 5.1; en-US; rv:1.9.0.13) "
                       "Gecko/2009073022 Firefox/3.0.13"),
        QStringLiteral("Accept: text/html, */*"),
        QStringLiteral("Accept-Charset: *"),
        QStringLiteral("Accept-Encoding: identity"),
        QStringLiteral("Connection: Keep-Alive"),
        QStringLiteral("Content-Type: application/x-www-form-urlencoded"),
    };
    const auto requests = service.requests();
    ASSERT_EQ(requests.size(), 4u);
    for (const ServiceRequest &request : requests) {
        SCOPED_TRACE(request.target.toStdString());
        QStringList lines;
        for (const auto &[name, value] : request.headers)
            lines.append(QString::fromLatin1(name + ": " + value));
        EXPECT_EQ(lines, expected);
    }
}

} // namespace

namespace {

// The body of an error status is read aside: no bytes of it are shown as the download's.
TEST_F(TransferTest, AnErrorStatussBodyIsNoProgress)
{
    settings.retry.attempts = 1;
    transfer.setSettings(settings);
    EXPECT_FALSE(download(QStringLiteral("/bulk/300000?status=503")));
    EXPECT_TRUE(shownCounts().isEmpty());
    EXPECT_TRUE(window.calls.filter(QStringLiteral("bar maximum")).isEmpty());
}

} // namespace

namespace {

// A folder where the file or its part goes is said before anything is fetched.
TEST_F(TransferTest, AFolderInTheWayIsSaidBeforeAnyRequest)
{
    for (const auto &[folder, result] : {std::pair{target(), TransferResult::TargetIsFolder},
                                         {part(), TransferResult::PartIsFolder}}) {
        SCOPED_TRACE(folder.toStdString());
        ASSERT_TRUE(QDir().mkpath(folder));
        service.clearRequests();
        EXPECT_EQ(transfer.DownloadToFile(url(QStringLiteral("/bulk/1000")), target()), result);
        EXPECT_TRUE(service.requests().empty());
        ASSERT_TRUE(QDir(folder).removeRecursively());
    }
}

} // namespace
