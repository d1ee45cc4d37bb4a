// What goes with one request alone: its own headers, a retry wait its
// answer asks for, and a pause between requests.
#include "HttpClientFixture.h"
#include "RecordingProgress.h"

#include <chrono>

namespace {

// Keeps the head it was handed, as a resuming sink reads it.
class HeadSink final : public MemorySink
{
public:
    ResponseHead head;
    bool responseBegins(const ResponseHead &h, qint64 offset) override
    {
        head = h;
        return MemorySink::responseBegins(h, offset);
    }
};

TEST_F(HttpClientTest, ARequestsOwnHeadersGoWithItAndReplaceSettingsOfTheirName)
{
    client.Request.UserAgent = QStringLiteral("Persistent/1.0");
    client.Request.Referer = QStringLiteral("http://www.youtube.com/");
    HeadSink sink;
    const HttpResult result = client.Get({url("/redirect/1/bulk/1000"),
                                          {{"user-agent", "Own\r\n/2"}},
                                          RangeAsk{600, "\"bulk-1000-v0\"", 1000},
                                          &sink,
                                          nullptr});
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    // Both hops carry them: the redirect's target is the same download.
    for (const ServiceRequest &request : service.requests()) {
        SCOPED_TRACE(request.target.toStdString());
        EXPECT_EQ(request.header("Range"), "bytes=600-");
        EXPECT_EQ(request.header("If-Range"), "\"bulk-1000-v0\"");
        EXPECT_EQ(request.header("User-Agent"), "Own  /2");
        EXPECT_EQ(request.header("Referer"), "http://www.youtube.com/");
        EXPECT_EQ(headerLines(request).filter(QStringLiteral("Agent"), Qt::CaseInsensitive).size(),
                  1);
    }
    EXPECT_EQ(sink.head.status, 206);
    EXPECT_EQ(sink.head.contentRange, "bytes 600-999/1000");
    EXPECT_EQ(sink.head.etag, "\"bulk-1000-v0\"");
    EXPECT_FALSE(sink.head.lastModified.isEmpty());
    EXPECT_EQ(sink.data, bulkBytes(600, 400));
    // The next request goes without them.
    client.GetBytes(url("/bulk/10"));
    EXPECT_TRUE(lastRequest().header("Range").isEmpty());
    EXPECT_EQ(lastRequest().header("User-Agent"), "Persistent/1.0");
}

TEST_F(HttpClientTest, AnErrorStatusCarriesItsRetryAfter)
{
    const struct
    {
        const char *path;
        int status;
        qint64 retryAfter;
    } cases[] = {
        {"/bulk/10?flaky=1&flakymode=status&retryafter=7", 503, 7},
        {"/bulk/11?flaky=1&flakymode=status&flakystatus=429", 429, -1},
        {"/bulk/12?status=416", 416, -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        MemorySink sink;
        const HttpResult result = client.Get(url(c.path), sink);
        EXPECT_EQ(result.failure, HttpFailure::Status);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.retryAfter, c.retryAfter);
    }
}

TEST_F(HttpClientTest, APauseWaitsInSlicesAndEndsOnAStop)
{
    RecordingProgress listener;
    client.setAntiFreezeActive(true);
    int pumps = 0;
    client.setEventPump([&pumps] { ++pumps; });
    auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(client.Pause(std::chrono::milliseconds(350), &listener), WorkAnswer::GoOn);
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(350));
    EXPECT_GE(pumps, 4); // slices of at most 100 ms

    // A Stop noticed in a pump ends the pause at that slice.
    listener.wantsStop = [&pumps] { return pumps >= 6; };
    started = std::chrono::steady_clock::now();
    EXPECT_EQ(client.Pause(std::chrono::seconds(30), &listener), WorkAnswer::Stop);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    EXPECT_EQ(pumps, 6);
}

// Credentials given for one host go to no other: a redirect elsewhere drops them.
TEST_F(HttpClientTest, CredentialsStayWithTheirOrigin)
{
    const QByteArray port = QByteArray::number(service.port());
    const struct
    {
        const char *host; // of the redirect's target
        bool kept;
    } cases[] = {{"127.0.0.1", true}, {"localhost", false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.host);
        service.clearRequests();
        MemorySink sink;
        const QByteArray next = "http://" + QByteArray(c.host) + ':' + port + "/bulk/10";
        const HttpResult result = client.Get(
            {url("/bulk/10?status=302&location=") + QString::fromLatin1(next.toPercentEncoding()),
             {{"Authorization", "Bearer secret"}, {"Cookie", "a=b"}, {"X-Other", "1"}},
             {},
             &sink,
             nullptr});
        ASSERT_TRUE(result.ok()) << result.error.toStdString();
        const auto requests = service.requests();
        ASSERT_EQ(requests.size(), 2u);
        EXPECT_EQ(requests[0].header("Authorization"), "Bearer secret");
        EXPECT_EQ(requests[1].header("Authorization").isEmpty(), !c.kept);
        EXPECT_EQ(requests[1].header("Cookie").isEmpty(), !c.kept);
        EXPECT_EQ(requests[1].header("X-Other"), "1");
    }
}

} // namespace
