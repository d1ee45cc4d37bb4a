// Downloads that are stopped, killed or find the remote changed: what the
// partial file and its record let the next job continue.
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

TEST_F(ResumeTest, AFailureLeavesTheRecordForTheNextJob)
{
    settings.retry.attempts = 1;
    transfer.setSettings(settings);
    ASSERT_EQ(downloadUntilGone(QStringLiteral("/bulk/500000?flaky=1&flakyat=200000"), 200000),
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

} // namespace

namespace {

// What a server answers to the request that continues a part: whatever it
// sends, the older file stays until every byte of the video is held.
TEST_F(ResumeTest, HostileAnswersToAResumeNeverPassForAWholeFile)
{
    const qint64 Size = 1000000;
    const struct
    {
        const char *name;
        const char *query;
        int attempts;          // of the second job
        QByteArrayList ranges; // asked by the second job
    } cases[] = {
        {"part of the range, honestly, until it is whole",
         "rangecap=200000",
         5,
         {"400000", "600000", "800000"}},
        {"no length, closed early",
         "rangecap=200000&rangeclose=1",
         5,
         {"400000", "600000", "800000"}},
        // Each answer brings bytes, so no attempt is used up.
        {"part of the range, with few attempts",
         "rangecap=100000",
         1,
         {"400000", "500000", "600000", "700000", "800000", "900000"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        for (const QString &left : {target(), part(), record()})
            QFile::remove(left);
        writeOldFile();
        const QString path = QStringLiteral("/bulk/%1?flaky=1&flakyat=400000&%2")
                                 .arg(Size)
                                 .arg(QLatin1String(c.query));
        settings.retry.attempts = 1;
        transfer.setSettings(settings);
        ASSERT_EQ(downloadUntilGone(path, 400000), TransferResult::Failed);
        ASSERT_EQ(QFileInfo(part()).size(), 400000);

        settings.retry.attempts = c.attempts;
        transfer.setSettings(settings);
        service.clearRequests();
        EXPECT_EQ(download(path), TransferResult::Done);
        QByteArrayList asked;
        for (const QByteArray &range : ranges())
            asked.append(range.mid(6, range.indexOf('-') - 6));
        EXPECT_EQ(asked, c.ranges);
        EXPECT_TRUE(contentsOf(target()) == bulkBytes(0, Size));
    }
}

} // namespace

namespace {

// A record and files as an ended job may leave them, and what the next job
// makes of them: bytes held are continued, a complete file is never given up.
TEST_F(ResumeTest, NoRecordCostsAFileItsBytes)
{
    const qint64 Size = 300000;
    const QByteArray etag = "\"bulk-300000-v0\"";
    const struct
    {
        const char *name;
        const char *in; // where the record says the bytes stand
        qint64 held;
        bool atTarget, atPart; // where they stand
        const char *asked;     // the first range the next job asks; "-" for none
    } cases[] = {
        {"stopped: under the target's name", "target", 120000, true, false, "120000"},
        {"moved back, then the program was killed", "target", 120000, false, true, "120000"},
        {"a record that calls a complete target its own", "target", Size, true, false, "-"},
    };
    int round = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        for (const QString &left : {target(), part(), record()})
            QFile::remove(left);
        // A resource of its own each time, whose first GET breaks off.
        const QString path =
            QStringLiteral("/bulk/%1?flaky=1&flakyat=100000&round=%2").arg(Size).arg(++round);
        const QByteArray bytes = bulkBytes(0, c.held);
        for (const auto &[there, file] : {std::pair{c.atTarget, target()}, {c.atPart, part()}}) {
            QFile out(file);
            if (there) {
                ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
            }
        }
        QFile out(record());
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(formatResumeRecord(
            {StreamIdentity(url(path)), etag, Size, QByteArray(c.in) == "target", c.held}));
        out.close();
        settings.retry.attempts = 1;
        transfer.setSettings(settings);
        service.clearRequests();
        // The answer breaks off, so what the job did to the files stays to be seen.
        downloadUntilGone(path, 0);
        const QByteArray range = ranges().value(0);
        EXPECT_EQ(range == "-" ? range : range.mid(6, range.indexOf('-') - 6), c.asked);
        if (c.held == Size) {
            EXPECT_TRUE(contentsOf(target()) == bytes);
        } else {
            EXPECT_TRUE(contentsOf(part()) == bulkBytes(0, QFileInfo(part()).size()));
            EXPECT_GT(QFileInfo(part()).size(), c.held);
        }
    }
}

// Another program finished the part and renamed it onto the target between
// this one's opening of the part and its lock: the target stays as it is.
TEST_F(ResumeTest, ALockOnAFileFinishedMeanwhileStartsOver)
{
    QFile finished(part());
    ASSERT_TRUE(finished.open(QIODevice::WriteOnly));
    finished.write("the other program's video");
    finished.close();
    PartialFile file(target(), StreamIdentity(url(QStringLiteral("/bulk/10"))), true);
    file.lock().setBeforeLock([this, once = true]() mutable {
        if (std::exchange(once, false))
            QFile::rename(part(), target());
    });
    ASSERT_EQ(file.open(), PartialFile::Opened::Ready);
    EXPECT_EQ(contentsOf(target()), "the other program's video");
    EXPECT_TRUE(QFileInfo(part()).exists());
}

// A name that is as long as names go still has its record, so it resumes.
TEST_F(ResumeTest, ALongNameResumesAsAnyOther)
{
    state.SaveFileName = QString(250, QLatin1Char('x')) + QStringLiteral(".flv");
    settings.retry.attempts = 1;
    transfer.setSettings(settings);
    const QString path = QStringLiteral("/bulk/300000?flaky=1&flakyat=100000");
    ASSERT_EQ(downloadUntilGone(path, 100000), TransferResult::Failed);
    ASSERT_TRUE(readRecord().has_value());
    service.clearRequests();
    ASSERT_EQ(download(path), TransferResult::Done);
    EXPECT_EQ(ranges(), QByteArrayList{"bytes=100000- \"bulk-300000-v0\""});
    EXPECT_TRUE(contentsOf(target()) == bulkBytes(0, 300000));
}

} // namespace
