#include "RawHttpConnection.h"
#include "SampleService.h"
#include "ServiceReply.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

constexpr const char *Etag = "\"bulk-1000-v0\"";
constexpr const char *WeakEtag = "W/\"bulk-1000-v0\"";
constexpr const char *Date = "Tue, 15 Mar 2011 08:00:00 GMT";
constexpr const char *Whole = "bytes"; // Accept-Ranges on a whole answer
constexpr const char *Any = "*";

// The headers a resumable answer is judged by; nullptr: absent, Any: any value.
struct ExpectedHead
{
    const char *contentLength;
    const char *contentRange;
    const char *acceptRanges;
    const char *etag;
    const char *lastModified;
};

void expectHead(const RawHttpConnection::Response &response, const ExpectedHead &expected)
{
    const auto check = [&](const char *name, const char *value) {
        SCOPED_TRACE(name);
        const auto actual = response.header(name);
        if (value == nullptr)
            EXPECT_FALSE(actual) << actual->toStdString();
        else if (value == Any)
            EXPECT_TRUE(actual);
        else
            EXPECT_EQ(actual.value_or("(absent)"), QByteArray(value));
    };
    check("Content-Length", expected.contentLength);
    check("Content-Range", expected.contentRange);
    check("Accept-Ranges", expected.acceptRanges);
    check("ETag", expected.etag);
    check("Last-Modified", expected.lastModified);
}

class SampleServiceRangesTest : public ::testing::Test
{
protected:
    void SetUp() override { service.start(); }

    RawHttpConnection::Response exchange(const QByteArray &method, const QByteArray &target,
                                         const QList<QByteArray> &headerLines = {})
    {
        return RawHttpConnection::exchange(service.port(), method, target, headerLines);
    }

    SampleService service;
};

TEST_F(SampleServiceRangesTest, GeneratedBodyAnswersRangesAndValidators)
{
    const QByteArray ifEtag = QByteArray("If-Range: ") + Etag;
    const QByteArray ifDate = QByteArray("If-Range: ") + Date;
    const QByteArray ifWeak = QByteArray("If-Range: ") + WeakEtag;
    const char *from100 = "bytes 100-999/1000";
    const struct
    {
        const char *method;
        const char *target;
        QList<QByteArray> headers;
        int status;
        ExpectedHead head;
        qint64 from, size; // the body is bulkBytes(from, size); size -1: not checked
        bool complete;
    } cases[] = {
        // clang-format off
        {"GET", "/bulk/1000", {}, 200, {"1000", nullptr, Whole, Etag, Date}, 0, 1000, true},
        {"GET", "/bulk/1000", {"Range: bytes=100-"}, 206, {"900", from100, nullptr, Etag, Date},
         100, 900, true},
        {"GET", "/bulk/1000", {"Range: bytes=100-199"}, 206,
         {"100", "bytes 100-199/1000", nullptr, Etag, Date}, 100, 100, true},
        {"GET", "/bulk/1000", {"Range: bytes=900-5000"}, 206,
         {"100", "bytes 900-999/1000", nullptr, Etag, Date}, 900, 100, true},
        {"GET", "/bulk/1000", {"Range: bytes=999-"}, 206,
         {"1", "bytes 999-999/1000", nullptr, Etag, Date}, 999, 1, true},
        {"GET", "/bulk/1000", {"Range: bytes=0-"}, 206,
         {"1000", "bytes 0-999/1000", nullptr, Etag, Date}, 0, 1000, true},
        {"GET", "/bulk/1000", {"range: Bytes=500-501"}, 206,
         {"2", "bytes 500-501/1000", nullptr, Etag, Date}, 500, 2, true},
        // At or past the end.
        {"GET", "/bulk/1000", {"Range: bytes=1000-"}, 416,
         {Any, "bytes */1000", nullptr, nullptr, nullptr}, 0, -1, true},
        {"GET", "/bulk/1000", {"Range: bytes=5000-6000"}, 416,
         {Any, "bytes */1000", nullptr, nullptr, nullptr}, 0, -1, true},
        {"GET", "/bulk/0", {"Range: bytes=0-"}, 416,
         {Any, "bytes */0", nullptr, nullptr, nullptr}, 0, -1, true},
        // If-Range: only the current strong ETag or the exact date continues.
        {"GET", "/bulk/1000", {"Range: bytes=100-", ifEtag}, 206,
         {"900", from100, nullptr, Etag, Date}, 100, 900, true},
        {"GET", "/bulk/1000", {"Range: bytes=100-", ifDate}, 206,
         {"900", from100, nullptr, Etag, Date}, 100, 900, true},
        {"GET", "/bulk/1000", {"Range: bytes=100-", "If-Range: \"bulk-1000-v1\""}, 200,
         {"1000", nullptr, Whole, Etag, Date}, 0, 1000, true},
        {"GET", "/bulk/1000", {"Range: bytes=100-", ifWeak}, 200,
         {"1000", nullptr, Whole, Etag, Date}, 0, 1000, true},
        {"GET", "/bulk/1000", {"Range: bytes=100-", "If-Range: Tuesday, 15-Mar-11 08:00:00 GMT"},
         200, {"1000", nullptr, Whole, Etag, Date}, 0, 1000, true},
        {"GET", "/bulk/1000", {"Range: bytes=100-", "If-Range:"}, 200,
         {"1000", nullptr, Whole, Etag, Date}, 0, 1000, true},
        // A failed If-Range is no 416 either.
        {"GET", "/bulk/1000", {"Range: bytes=5000-", "If-Range: \"other\""}, 200,
         {"1000", nullptr, Whole, Etag, Date}, 0, 1000, true},
        // Which validators are sent, and which of them If-Range may use.
        {"GET", "/bulk/1000?validator=weak", {}, 200,
         {"1000", nullptr, Whole, WeakEtag, nullptr}, 0, 1000, true},
        {"GET", "/bulk/1000?validator=weak", {"Range: bytes=100-", ifWeak}, 200,
         {"1000", nullptr, Whole, WeakEtag, nullptr}, 0, 1000, true},
        {"GET", "/bulk/1000?validator=weak", {"Range: bytes=100-", ifEtag}, 200,
         {"1000", nullptr, Whole, WeakEtag, nullptr}, 0, 1000, true},
        {"GET", "/bulk/1000?validator=weak", {"Range: bytes=100-"}, 206,
         {"900", from100, nullptr, WeakEtag, nullptr}, 100, 900, true},
        {"GET", "/bulk/1000?validator=etag", {"Range: bytes=100-", ifDate}, 200,
         {"1000", nullptr, Whole, Etag, nullptr}, 0, 1000, true},
        {"GET", "/bulk/1000?validator=etag", {"Range: bytes=100-", ifEtag}, 206,
         {"900", from100, nullptr, Etag, nullptr}, 100, 900, true},
        {"GET", "/bulk/1000?validator=lastmod", {"Range: bytes=100-", ifEtag}, 200,
         {"1000", nullptr, Whole, nullptr, Date}, 0, 1000, true},
        {"GET", "/bulk/1000?validator=lastmod", {"Range: bytes=100-", ifDate}, 206,
         {"900", from100, nullptr, nullptr, Date}, 100, 900, true},
        {"GET", "/bulk/1000?validator=none", {"Range: bytes=100-", ifEtag}, 200,
         {"1000", nullptr, Whole, nullptr, nullptr}, 0, 1000, true},
        // A server without ranges.
        {"GET", "/bulk/1000?ranges=0", {"Range: bytes=100-"}, 200,
         {"1000", nullptr, nullptr, Etag, Date}, 0, 1000, true},
        // Ranges it does not serve are ignored.
        {"GET", "/bulk/1000", {"Range: bytes=abc"}, 200,
         {"1000", nullptr, Whole, Etag, Date}, 0, 1000, true},
        {"GET", "/bulk/1000", {"Range: bytes=200-100"}, 200,
         {"1000", nullptr, Whole, Etag, Date}, 0, 1000, true},
        {"GET", "/bulk/1000", {"Range: items=0-1"}, 200,
         {"1000", nullptr, Whole, Etag, Date}, 0, 1000, true},
        {"GET", "/bulk/1000", {"Range: bytes=0-1,5-6"}, 200,
         {"1000", nullptr, Whole, Etag, Date}, 0, 1000, true},
        {"GET", "/bulk/1000", {"Range: bytes=-100"}, 200,
         {"1000", nullptr, Whole, Etag, Date}, 0, 1000, true},
        {"GET", "/bulk/1000", {"Range: bytes = 500-501"}, 200,
         {"1000", nullptr, Whole, Etag, Date}, 0, 1000, true},
        {"GET", "/bulk/1000", {"Range: bytes=+5-"}, 200,
         {"1000", nullptr, Whole, Etag, Date}, 0, 1000, true},
        {"GET", "/bulk/1000", {"Range: bytes=99999999999999999999-"}, 416,
         {Any, "bytes */1000", nullptr, nullptr, nullptr}, 0, -1, true},
        {"GET", "/bulk/1000", {"Range: bytes=10-99999999999999999999"}, 206,
         {"990", "bytes 10-999/1000", nullptr, Etag, Date}, 10, 990, true},
        // HEAD answers the head a GET would get.
        {"HEAD", "/bulk/1000", {}, 200, {"1000", nullptr, Whole, Etag, Date}, 0, 0, true},
        {"HEAD", "/bulk/1000", {"Range: bytes=100-"}, 206,
         {"900", from100, nullptr, Etag, Date}, 0, 0, true},
        // Faults count the bytes this answer sends, from the first byte of the range.
        {"GET", "/bulk/1000?cut=50", {"Range: bytes=100-"}, 206,
         {"900", from100, nullptr, Etag, Date}, 100, 50, false},
        {"GET", "/bulk/1000?reset=50", {"Range: bytes=100-"}, 206,
         {"900", from100, nullptr, Etag, Date}, 100, 50, false},
        // The other framings.
        {"GET", "/bulk/1000?mode=chunked", {"Range: bytes=100-"}, 206,
         {nullptr, from100, nullptr, Etag, Date}, 100, 900, true},
        {"GET", "/bulk/1000?mode=chunked&cut=300", {"Range: bytes=100-"}, 206,
         {nullptr, from100, nullptr, Etag, Date}, 100, 300, false},
        {"GET", "/bulk/1000?mode=close", {"Range: bytes=100-"}, 206,
         {nullptr, from100, nullptr, Etag, Date}, 100, 900, true},
        // An announced length that is not the body's: the connection ends the body early.
        {"GET", "/bulk/1000?length=1000000000000", {}, 200,
         {"1000000000000", nullptr, Whole, Etag, Date}, 0, 1000, false},
        {"GET", "/bulk/1000?length=1000000000000", {"Range: bytes=100-"}, 206,
         {"1000000000000", from100, nullptr, Etag, Date}, 100, 900, false},
        {"HEAD", "/bulk/1000?length=5000000000", {}, 200,
         {"5000000000", nullptr, Whole, Etag, Date}, 0, 0, true},
        // Pages are no resources: no ranges, no validators.
        {"GET", "/watch?v=vidlark0001", {"Range: bytes=10-"}, 200,
         {Any, nullptr, nullptr, nullptr, nullptr}, 0, -1, true},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.method << ' ' << c.target << ' '
                                        << QByteArray(c.headers.join(" | ")).toStdString());
        const auto response = exchange(c.method, c.target, c.headers);
        EXPECT_EQ(response.status, c.status);
        expectHead(response, c.head);
        if (c.size >= 0) {
            EXPECT_EQ(response.body, bulkBytes(c.from, c.size));
        }
        EXPECT_EQ(response.complete, c.complete);
    }
}

TEST_F(SampleServiceRangesTest, CannedStreamsAnswerRangesAndValidators)
{
    QFile file(SampleService::defaultMediaDir() + QStringLiteral("/sample.mp4"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray media = file.readAll();
    const QByteArray total = QByteArray::number(media.size());
    const QByteArray last = QByteArray::number(media.size() - 1);
    const qint64 big = qint64(1) << 30;
    const struct
    {
        const char *target;
        QList<QByteArray> headers;
        int status;
        QByteArray contentRange;
        QByteArray etag;
        QByteArray body;
    } cases[] = {
        {"/videos/vidlark0001/18.mp4", {}, 200, {}, "\"vidlark0001-18-v0\"", media},
        {"/videos/vidlark0001/18.mp4",
         {"Range: bytes=1000-"},
         206,
         "bytes 1000-" + last + '/' + total,
         "\"vidlark0001-18-v0\"",
         media.mid(1000)},
        {"http://streams.sample.test/videos/vidlark0004/18.mp4",
         {"Range: bytes=10-19", "If-Range: \"vidlark0004-18-v0\""},
         206,
         "bytes 10-19/" + total,
         "\"vidlark0004-18-v0\"",
         media.mid(10, 10)},
        // The ETag names the video's stream, not the file it shares with others.
        {"http://streams.sample.test/videos/vidlark0004/18.mp4",
         {"Range: bytes=10-19", "If-Range: \"vidlark0001-18-v0\""},
         200,
         {},
         "\"vidlark0004-18-v0\"",
         media},
        // The end of the 1 GiB generated stream.
        {"/videos/vidlark0008/34.flv",
         {"Range: bytes=1073741000-"},
         206,
         "bytes 1073741000-1073741823/1073741824",
         "\"vidlark0008-34-v0\"",
         bulkBytes(1073741000, 824)},
        {"/videos/vidlark0008/34.flv", {"Range: bytes=1073741824-"}, 416, {}, {}, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.target);
        const auto response = exchange("GET", c.target, c.headers);
        EXPECT_EQ(response.status, c.status);
        if (c.status == 416) {
            EXPECT_EQ(response.header("Content-Range"), "bytes */" + QByteArray::number(big));
            continue;
        }
        EXPECT_EQ(response.header("Content-Range").value_or(QByteArray()), c.contentRange);
        EXPECT_EQ(response.header("ETag"), c.etag);
        EXPECT_EQ(response.header("Last-Modified"), QByteArray(Date));
        EXPECT_TRUE(response.body == c.body);
        EXPECT_TRUE(response.complete);
    }
    // A refused stream stays refused, whatever the range.
    EXPECT_EQ(exchange("GET", "/videos/vidlark0003/34.flv", {"Range: bytes=0-"}).status, 403);
}

TEST_F(SampleServiceRangesTest, AfterAFalseLengthTheConnectionCloses)
{
    // A shorter length than the body: the whole body still goes, then the end.
    RawHttpConnection connection(service.port());
    ASSERT_TRUE(connection.sendRequest("GET", "/bulk/100?length=10"));
    const auto response = connection.readResponse();
    EXPECT_EQ(response.header("Content-Length"), QByteArray("10"));
    EXPECT_EQ(response.header("Connection"), QByteArray("close"));
    EXPECT_EQ(response.body + connection.readToEnd(), bulkBytes(0, 100));

    // An honest answer on a kept connection leaves it open for the next request.
    RawHttpConnection kept(service.port());
    ASSERT_TRUE(kept.sendRequest("GET", "/bulk/100", {"Range: bytes=50-"}));
    EXPECT_EQ(kept.readResponse().body, bulkBytes(50, 50));
    ASSERT_TRUE(kept.sendRequest("GET", "/bulk/100", {"Range: bytes=0-9"}));
    EXPECT_EQ(kept.readResponse().body, bulkBytes(0, 10));
}

} // namespace
