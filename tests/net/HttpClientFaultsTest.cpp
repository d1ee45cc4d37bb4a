#include "NoProxyEnvironment.h"
#include "RecordingProgress.h"
#include "SampleService.h"
#include "net/BodyPieces.h"
#include "net/HttpClient.h"

#include <chrono>
#include <gtest/gtest.h>
#include <vector>

namespace {

using namespace std::chrono_literals;

class HttpClientFaultsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        clearProxyEnvironment();
        service.start();
    }
    QString url(const QString &pathAndQuery) const { return service.baseUrl() + pathAndQuery; }

    // Runs one GET into a memory sink; -1 when it succeeded, else the error
    // status, 0 for a failure of another kind.
    int get(const QString &pathAndQuery)
    {
        const HttpResult result = client.Get(url(pathAndQuery), sink, &listener);
        if (result.ok())
            return -1;
        return result.failure == HttpFailure::Status ? result.status : 0;
    }

    SampleService service;
    HttpClient client;
    RecordingProgress listener;
    MemorySink sink;
};

TEST_F(HttpClientFaultsTest, WorkEventsFollowTheTransferCoding)
{
    const struct
    {
        QString path;
        QStringList events;
        qint64 announced;
    } cases[] = {
        {QStringLiteral("/bulk/100000"),
         {QStringLiteral("begin 0 100000"), QStringLiteral("work 0"),
          QStringLiteral("end 0 at 100000")},
         100000},
        {QStringLiteral("/bulk/100000?mode=chunked"),
         {QStringLiteral("begin 0 0"), QStringLiteral("work 0"), QStringLiteral("end 0 at 100000")},
         -1},
        {QStringLiteral("/bulk/100000?mode=close"),
         {QStringLiteral("begin 0 0"), QStringLiteral("work 0"), QStringLiteral("end 0 at 100000")},
         -1},
        {QStringLiteral("/bulk/0"), {}, 0},
        {QStringLiteral("/bulk/0?mode=chunked"),
         {QStringLiteral("begin 0 0"), QStringLiteral("end 0 at 0")},
         -1},
        // The redirect's body is read aside with its own events.
        {QStringLiteral("/redirect/1/bulk/40000"),
         {QStringLiteral("begin 0 39"), QStringLiteral("work 0"), QStringLiteral("end 0 at 39"),
          QStringLiteral("begin 0 40000"), QStringLiteral("work 0"),
          QStringLiteral("end 0 at 40000")},
         40000},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        listener = RecordingProgress();
        sink = MemorySink();
        ASSERT_EQ(get(c.path), -1);
        EXPECT_EQ(listener.events, c.events);
        EXPECT_LE(listener.largestStep, HttpClient::MaxPiece);
        EXPECT_EQ(sink.announced, QList<qint64>{c.announced});
        EXPECT_EQ(sink.data, bulkBytes(0, listener.lastCount));
    }
}

TEST_F(HttpClientFaultsTest, ABodyCutByThePeerFailsUnlessItRunsUntilClose)
{
    const struct
    {
        const char *path;
        bool fails;
    } cases[] = {
        {"/bulk/200000?cut=70000", true},              // shorter than its Content-Length
        {"/bulk/200000?reset=70000", true},            // reset with a Content-Length
        {"/bulk/200000?mode=chunked&cut=70000", true}, // chunked, last chunk missing
        {"/bulk/200000?mode=chunked&reset=70000", true},
        {"/bulk/200000?mode=close&cut=70000", false},  // nothing says more was coming
        {"/bulk/200000?mode=close&reset=70000", true}, // a reset is still a socket error
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        listener = RecordingProgress();
        sink = MemorySink();
        EXPECT_EQ(get(QString::fromLatin1(c.path)), c.fails ? 0 : -1);
        EXPECT_LE(sink.data.size(), 70000);
        EXPECT_EQ(sink.data, bulkBytes(0, sink.data.size()));
        EXPECT_EQ(listener.events.size(), 3);
        EXPECT_TRUE(listener.events.last().startsWith(QLatin1String("end")));
        if (!c.fails) {
            EXPECT_EQ(sink.data.size(), 70000);
        }
    }
}

TEST_F(HttpClientFaultsTest, AStopAnswerFromAWorkStepEndsByTransferCoding)
{
    const struct
    {
        const char *path;
        bool fails;
    } cases[] = {
        {"/bulk/5000000", false},
        {"/bulk/5000000?mode=close", false},
        {"/bulk/5000000?mode=chunked", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        listener = RecordingProgress();
        sink = MemorySink();
        int stepsAfterStop = 0;
        bool stopped = false;
        listener.onWork = [&](qint64 count) {
            if (stopped)
                ++stepsAfterStop;
            if (count >= 100000 && !stopped) {
                stopped = true;
                return WorkAnswer::Stop;
            }
            return WorkAnswer::GoOn;
        };
        EXPECT_EQ(get(QString::fromLatin1(c.path)), c.fails ? 0 : -1);
        EXPECT_EQ(stepsAfterStop, 0);
        EXPECT_EQ(sink.data.size(), listener.lastCount);
        EXPECT_GE(sink.data.size(), 100000);
        EXPECT_LT(sink.data.size(), 5000000);
        EXPECT_EQ(sink.data, bulkBytes(0, sink.data.size()));
        EXPECT_TRUE(listener.events.last().startsWith(QLatin1String("end")));
        // The client is usable again afterwards, on a new connection.
        listener.onWork = nullptr;
        EXPECT_EQ(
            client.GetBytes(url(QStringLiteral("/bulk/10")), HttpClient::NoLimit, &listener).bytes,
            bulkBytes(0, 10));
    }
}

TEST_F(HttpClientFaultsTest, AStopEndsAStalledWaitWithinASlice)
{
    const struct
    {
        const char *path;
        bool fails;
    } cases[] = {
        {"/bulk/500000?stall=50000", false},
        {"/bulk/500000?mode=chunked&stall=50000", true},
        {"/bulk/500000?stall=0", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        listener = RecordingProgress();
        sink = MemorySink();
        // The job's stop arrives while the server has gone quiet.
        bool stopRequested = false;
        int emptySlices = 0;
        listener.wantsStop = [&] {
            // Counted once the body has begun, however long the server took to answer.
            if (listener.events.isEmpty())
                return false;
            if (++emptySlices == 2)
                stopRequested = true;
            return stopRequested;
        };
        const auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(get(QString::fromLatin1(c.path)), c.fails ? 0 : -1);
        const auto took = std::chrono::steady_clock::now() - started;
        EXPECT_EQ(emptySlices, 2);
        EXPECT_LT(took, 10s); // guard only: the wait ends at the stop, not at the stall limit
        EXPECT_LE(sink.data.size(), 50000);
        EXPECT_EQ(sink.data, bulkBytes(0, sink.data.size()));
    }
}

// libcurl hands over 16 KiB at a time; the client joins them into pieces of
// up to MaxPiece bytes, but never holds received bytes back while it waits.
TEST_F(HttpClientFaultsTest, WorkStepsComeForWholePiecesAndBeforeEveryWait)
{
    const struct
    {
        const char *path;
        qint64 beforeStall; // the bytes a step reports before the server goes quiet
    } cases[] = {
        {"/bulk/500000?stall=50000", 50000},
        {"/bulk/500000?stall=40000", 40000},
        {"/bulk/500000?stall=70000", 70000},
        {"/bulk/500000?stall=1", 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        listener = RecordingProgress();
        sink = MemorySink();
        QList<qint64> counts;
        listener.onWork = [&](qint64 count) {
            // What a step reports is with the sink already.
            EXPECT_EQ(sink.data.size(), count);
            counts.append(count);
            return WorkAnswer::GoOn;
        };
        // The first quiet slice ends the request: by then every byte the
        // server sent must have had its step.
        qint64 countAtFirstQuietSlice = -1;
        listener.wantsStop = [&] {
            if (listener.events.isEmpty())
                return false;
            countAtFirstQuietSlice = listener.lastCount;
            return true;
        };
        EXPECT_EQ(get(QString::fromLatin1(c.path)), -1);
        EXPECT_EQ(countAtFirstQuietSlice, c.beforeStall);
        EXPECT_EQ(sink.data, bulkBytes(0, c.beforeStall));
        EXPECT_LE(listener.largestStep, HttpClient::MaxPiece);
    }

    // A body that comes faster than it is read is reported in whole pieces,
    // twice what libcurl hands over at a time.
    listener = RecordingProgress();
    sink = MemorySink();
    constexpr qint64 Body = 8 << 20;
    EXPECT_EQ(get(QStringLiteral("/bulk/%1").arg(Body)), -1);
    EXPECT_EQ(listener.lastCount, Body);
    EXPECT_EQ(listener.largestStep, HttpClient::MaxPiece);
}

TEST_F(HttpClientFaultsTest, ASilentServerFailsLikeANetworkError)
{
    client.setStallTimeout(1s);
    EXPECT_EQ(get(QStringLiteral("/bulk/100000?stall=0")), 0);
    EXPECT_TRUE(sink.data.isEmpty());
    EXPECT_EQ(listener.events,
              QStringList({QStringLiteral("begin 0 100000"), QStringLiteral("end 0 at 0")}));
}

TEST_F(HttpClientFaultsTest, AntiFreezePumpsEventsBetweenSlicesAndPieces)
{
    int pumps = 0;
    int pumpsInBody = 0;
    bool closed = false;
    client.setEventPump([&] {
        ++pumps;
        // A window close handled in the pump, while the server is silent
        // in the middle of the body, stops the request at that slice.
        if (!listener.events.isEmpty() && ++pumpsInBody == 3)
            closed = true;
    });
    listener.wantsStop = [&] { return closed; };
    client.setAntiFreezeActive(false);
    client.setStallTimeout(1s);
    EXPECT_EQ(get(QStringLiteral("/bulk/100000?stall=0")), 0);
    EXPECT_EQ(pumps, 0);

    client.setAntiFreezeActive(true);
    client.setStallTimeout(60s);
    listener.events.clear();
    sink = MemorySink();
    EXPECT_EQ(get(QStringLiteral("/bulk/100000?stall=0")), -1);
    EXPECT_EQ(pumpsInBody, 3);
    EXPECT_TRUE(sink.data.isEmpty());

    // One pass after each body piece.
    client.setEventPump([&] { ++pumps; });
    pumps = 0;
    sink = MemorySink();
    listener = RecordingProgress();
    int steps = 0;
    listener.onWork = [&](qint64) {
        ++steps;
        return WorkAnswer::GoOn;
    };
    EXPECT_EQ(get(QStringLiteral("/bulk/300000")), -1);
    EXPECT_GE(pumps, steps);
    EXPECT_GE(steps, 300000 / HttpClient::MaxPiece);
}

TEST(BodyPieces, DataIsCutIntoPiecesOfAtMostTheLimitInOrder)
{
    // libcurl 7.88 hands over at most 16 KiB, so only this shows the limit at work.
    const QByteArray data = bulkBytes(0, 100000);
    const struct
    {
        qsizetype size;
        std::size_t refuseAt; // the piece the handler refuses; 0: none
        std::vector<std::size_t> pieces;
        bool taken;
    } cases[]{
        {100000, 0, {32768, 32768, 32768, 1696}, true},
        {65536, 0, {32768, 32768}, true},
        {32769, 0, {32768, 1}, true},
        {100, 0, {100}, true},
        {0, 0, {}, true},
        {100000, 2, {32768, 32768}, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.size);
        std::vector<std::size_t> pieces;
        QByteArray joined;
        const bool taken = ForEachPiece(data.constData(), std::size_t(c.size), HttpClient::MaxPiece,
                                        [&](const char *bytes, std::size_t size) {
                                            pieces.push_back(size);
                                            joined.append(bytes, qsizetype(size));
                                            return pieces.size() != c.refuseAt;
                                        });
        EXPECT_EQ(taken, c.taken);
        EXPECT_EQ(pieces, c.pieces);
        EXPECT_EQ(joined, data.left(joined.size()));
    }
}

TEST_F(HttpClientFaultsTest, ASinkThatCannotStartFailsTheRequest)
{
    sink.refuse = true;
    EXPECT_EQ(get(QStringLiteral("/bulk/100000")), 0);
    EXPECT_TRUE(sink.data.isEmpty());
    EXPECT_EQ(client.ResponseCode(), 200);
}

} // namespace
