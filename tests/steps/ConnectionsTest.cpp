// One download over several connections: byte-exact against servers that
// cap, reset, ignore ranges or change between requests, and continued after a
// Stop (a kill: CliProgramTest).
#include "ResumeFixture.h"

namespace {

class ConnectionsTest : public ResumeTest
{
protected:
    void SetUp() override
    {
        ResumeTest::SetUp();
        settings.connections = 4;
        transfer.setSettings(settings);
    }
    // The GETs that asked a piece with an end.
    qsizetype pieceRequests() const
    {
        qsizetype pieces = 0;
        for (const QByteArray &range : ranges())
            pieces += range.startsWith("bytes=") && !range.contains("- ") ? 1 : 0;
        return pieces;
    }
    // The work steps' counts, in order.
    QList<qint64> stepCounts() const
    {
        QList<qint64> counts;
        for (const QString &call : window.calls.filter(QStringLiteral("ShowTransferProgress ")))
            counts.append(call.section(QLatin1Char(' '), 1, 1).toLongLong());
        return counts;
    }
};

TEST_F(ConnectionsTest, ServersOfEveryKindGiveTheWholeFileByteExact)
{
    const qint64 Size = 6000000;
    const struct
    {
        const char *name;
        const char *query;
        bool pieces;   // pieces were asked beside the first request
        bool changes;  // the versions differ: the file is one version's, whichever
        bool oneRound; // one attempt does it all
    } cases[] = {
        {"ranges and validators", "", true, false, true},
        {"a reset every 700000 bytes a connection", "resetevery=700000", true, false, false},
        {"ranges for one connection at a time", "solo=1", true, false, false},
        {"an ETag that changes with every answer", "changing=1", true, true, false},
        {"no validator", "validator=none", false, false, true},
    };
    int round = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        service.clearRequests();
        window.calls.clear();
        // At 30 MB/s a connection, so that the first one is still at it when the others come.
        const QString path = QStringLiteral("/bulk/%1?rate=30000000&round=%2&%3")
                                 .arg(Size)
                                 .arg(++round)
                                 .arg(QLatin1String(c.query));
        ASSERT_EQ(download(path), TransferResult::Done);
        const QByteArray got = contentsOf(target());
        ASSERT_EQ(got.size(), Size);
        bool oneVersion = false;
        for (qint64 version = 0; version < 32 && !oneVersion; ++version)
            oneVersion = got == bulkBytes(0, Size, version);
        EXPECT_TRUE(oneVersion);
        EXPECT_TRUE(got == bulkBytes(0, Size) || c.changes);
        EXPECT_EQ(pieceRequests() > 0, c.pieces);
        EXPECT_FALSE(QFile::exists(part()));
        EXPECT_FALSE(QFile::exists(record()));
        // A work begin with the whole length for each attempt's first answer,
        // a work step for each piece of any connection, counting the whole file.
        const QStringList begins = window.calls.filter(QStringLiteral("bar maximum"));
        EXPECT_TRUE(begins.size() == 1 || !c.oneRound);
        EXPECT_EQ(begins.filter(QStringLiteral("bar maximum 6000000")), begins);
        EXPECT_TRUE(window.calls.filter(QStringLiteral("retrying")).isEmpty());
        const QList<qint64> counts = stepCounts();
        EXPECT_GE(counts.size(), Size / HttpClient::MaxPiece);
        ASSERT_FALSE(counts.isEmpty());
        EXPECT_EQ(counts.last(), Size);
        for (qsizetype i = 1; i < counts.size() && c.oneRound; ++i)
            EXPECT_GE(counts[i], counts[i - 1]) << i;
    }
}

TEST_F(ConnectionsTest, AStopKeepsTheStartAndTheNextJobAsksOnlyWhatIsMissing)
{
    const qint64 Size = 8000000;
    const QString path = QStringLiteral("/bulk/%1?rate=4000000").arg(Size);
    stopAtPass(60);
    ASSERT_EQ(download(path), TransferResult::Done);
    const qint64 held = QFileInfo(target()).size();
    ASSERT_GT(held, 0);
    ASSERT_LT(held, Size);
    EXPECT_TRUE(contentsOf(target()) == bulkBytes(0, held));
    ASSERT_TRUE(readRecord().has_value());
    EXPECT_TRUE(readRecord()->inTarget);

    window.onMessagePass = nullptr;
    service.clearRequests();
    ASSERT_EQ(download(path), TransferResult::Done);
    EXPECT_TRUE(contentsOf(target()) == bulkBytes(0, Size));
    EXPECT_EQ(ranges().first(), "bytes=" + QByteArray::number(held) + "- \"bulk-8000000-v0\"");
}

} // namespace
