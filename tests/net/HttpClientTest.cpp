#include "net/HttpClient.h"

#include "HttpClientFixture.h"
#include "RecordingProgress.h"
#include "net/RequestLine.h"

#include <chrono>
#include <gtest/gtest.h>
#include <stdlib.h>

namespace {

TEST_F(HttpClientTest, SendsOnlyNonEmptySettingsAndKeepsThemAcrossRequests)
{
    const QString host = QStringLiteral("Host: 127.0.0.1:%1").arg(service.port());
    // Each step changes some settings; the others stay as the earlier steps left them.
    struct Step
    {
        const char *name;
        std::function<void(HttpClient &)> change;
        bool head;
        QStringList expected;
    };
    const std::vector<Step> steps = {
        {"fresh client",
         [](HttpClient &) {},
         false,
         {host, QStringLiteral("Accept: text/html, */*"),
          QStringLiteral("Accept-Encoding: identity")}},
        {"watch-page settings",
         [](HttpClient &c) {
             c.AllowCookies = false;
             c.Request.Referer = QStringLiteral("http://www.youtube.com/watch?v=abc");
             c.Request.UserAgent = QStringLiteral("Agent/1");
             c.Request.AcceptCharSet = QStringLiteral("*");
         },
         false,
         {host, QStringLiteral("Referer: http://www.youtube.com/watch?v=abc"),
          QStringLiteral("User-Agent: Agent/1"), QStringLiteral("Accept: text/html, */*"),
          QStringLiteral("Accept-Charset: *"), QStringLiteral("Accept-Encoding: identity")}},
        {"a HEAD keeps them",
         [](HttpClient &) {},
         true,
         {host, QStringLiteral("Referer: http://www.youtube.com/watch?v=abc"),
          QStringLiteral("User-Agent: Agent/1"), QStringLiteral("Accept: text/html, */*"),
          QStringLiteral("Accept-Charset: *"), QStringLiteral("Accept-Encoding: identity")}},
        {"connection and content type, also on HEAD",
         [](HttpClient &c) {
             c.Request.Connection = QStringLiteral("Keep-Alive");
             c.Request.ContentType = QStringLiteral("application/x-www-form-urlencoded");
         },
         true,
         {host, QStringLiteral("Referer: http://www.youtube.com/watch?v=abc"),
          QStringLiteral("User-Agent: Agent/1"), QStringLiteral("Accept: text/html, */*"),
          QStringLiteral("Accept-Charset: *"), QStringLiteral("Accept-Encoding: identity"),
          QStringLiteral("Connection: Keep-Alive"),
          QStringLiteral("Content-Type: application/x-www-form-urlencoded")}},
        {"an emptied setting is no longer sent, not even curl's default",
         [](HttpClient &c) {
             c.Request.Accept.clear();
             c.Request.Referer.clear();
         },
         false,
         {host, QStringLiteral("User-Agent: Agent/1"), QStringLiteral("Accept-Charset: *"),
          QStringLiteral("Accept-Encoding: identity"), QStringLiteral("Connection: Keep-Alive"),
          QStringLiteral("Content-Type: application/x-www-form-urlencoded")}},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.name);
        step.change(client);
        if (step.head)
            client.Head(url("/bulk/10"));
        else
            client.GetBytes(url("/bulk/10"));
        const ServiceRequest request = lastRequest();
        EXPECT_EQ(request.method, step.head ? "HEAD" : "GET");
        EXPECT_EQ(headerLines(request), step.expected);
    }
}

// A stream's own headers (named by the external extractor) replace the
// settings of their names; those the client decides itself never go out, nor
// anything that would not stay one header line.
TEST_F(HttpClientTest, ExtraHeadersReplaceSettingsButNeverTheClientsOwn)
{
    const QString host = QStringLiteral("Host: 127.0.0.1:%1").arg(service.port());
    client.Request.Referer = QStringLiteral("http://www.youtube.com/watch?v=abc");
    client.Request.UserAgent = QStringLiteral("Agent/1");
    client.Request.Connection = QStringLiteral("Keep-Alive");
    const HttpRequest::Headers named = {
        {"user-agent", "Stream/2"},
        {"Accept", "video/*"},
        {"Sec-Fetch-Mode", "navigate"},
        {"Host", "elsewhere.test"},
        {"Range", "bytes=5-"},
        {"Cookie", "a=b"},
        {"Accept-Encoding", "gzip"},
        {"Connection", "close"},
        {"Content-Length", "3"},
        {"X-Split", "a\r\nX-Injected: 1"},
        {"Bad Name", "x"},
        {"Bad:Name", "x"},
        {"", "x"},
    };
    // What the route passes on of what a stream names.
    HttpRequest::Headers headers;
    for (const auto &[name, value] : named) {
        if (isSafeExtraHeader(name, value))
            headers.append({name, value});
    }
    MemorySink sink;
    EXPECT_TRUE(client.Get({url("/bulk/10"), headers, {}, &sink, nullptr}).ok());
    EXPECT_EQ(headerLines(lastRequest()),
              QStringList(
                  {host, QStringLiteral("Referer: http://www.youtube.com/watch?v=abc"),
                   QStringLiteral("Accept-Encoding: identity"),
                   QStringLiteral("Connection: Keep-Alive"), QStringLiteral("user-agent: Stream/2"),
                   QStringLiteral("Accept: video/*"), QStringLiteral("Sec-Fetch-Mode: navigate")}));
}

TEST_F(HttpClientTest, NeverSendsCookiesEvenWhenTheServiceSetsThem)
{
    for (const bool allow : {true, false}) {
        client.AllowCookies = allow;
        client.GetBytes(url("/bulk/10?cookie=1"));
        client.GetBytes(url("/bulk/10?cookie=1"));
        client.Head(url("/bulk/10"));
    }
    for (const ServiceRequest &request : service.requests())
        EXPECT_TRUE(request.header("Cookie").isEmpty()) << request.target.toStdString();
}

TEST_F(HttpClientTest, FollowsFourteenRedirectsAndStopsNormallyAtTheFifteenth)
{
    struct Case
    {
        const char *path;
        int status;
        qsizetype requests;
        qsizetype bodySize;
    };
    const Case cases[] = {
        {"/redirect/14/bulk/100", 200, 15, 100},
        {"/redirect/15/bulk/100", 302, 15, -1},
        {"/redirect/40/bulk/100", 302, 15, -1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path);
        service.clearRequests();
        const QByteArray body = client.GetBytes(url(c.path)).bytes;
        EXPECT_EQ(client.ResponseCode(), c.status);
        EXPECT_EQ(qsizetype(service.requests().size()), c.requests);
        if (c.bodySize >= 0) {
            EXPECT_EQ(body, bulkBytes(0, c.bodySize));
        }
    }
    // A HEAD follows with the same method.
    service.clearRequests();
    client.Head(url("/redirect/3/bulk/100"));
    EXPECT_EQ(client.ResponseCode(), 200);
    for (const ServiceRequest &request : service.requests())
        EXPECT_EQ(request.method, "HEAD");
}

TEST_F(HttpClientTest, ASinkTakesOnlyTheBodyOfASuccess)
{
    // A chain that ends on a redirect, or a redirect left unfollowed, is no
    // body for a file: the few bytes of its page stay aside.
    const struct
    {
        const char *path;
        bool followRedirects;
        int status;
    } cases[] = {
        {"/redirect/15/bulk/100", true, 302},
        {"/redirect/40/bulk/100", true, 302},
        {"/redirect/1/bulk/100", false, 302},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        client.HandleRedirects = c.followRedirects;
        MemorySink sink;
        const HttpResult result = client.Get(url(c.path), sink);
        EXPECT_EQ(result.failure, HttpFailure::Status);
        EXPECT_EQ(result.status, c.status);
        EXPECT_TRUE(sink.announced.isEmpty());
        EXPECT_TRUE(sink.data.isEmpty());
    }
    client.HandleRedirects = true;
    MemorySink sink;
    EXPECT_TRUE(client.Get(url("/redirect/14/bulk/100"), sink).ok());
    EXPECT_EQ(sink.data, bulkBytes(0, 100));
}

TEST_F(HttpClientTest, ABodyPastTheCallersBoundFailsAndIsNotKept)
{
    const qint64 Bound = 100000;
    const struct
    {
        const char *path;
        bool fits;
    } cases[] = {
        {"/bulk/100000", true},
        {"/bulk/100001", false},
        {"/bulk/100000?mode=chunked", true},
        {"/bulk/100001?mode=chunked", false},
        {"/bulk/100000?mode=close", true},
        {"/bulk/300000?mode=close", false},
        {"/bulk/10?length=200000", false}, // the announced length alone is too much
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        const HttpBytes bytes = client.GetBytes(url(c.path), Bound);
        EXPECT_EQ(bytes.result.failure, c.fits ? HttpFailure::None : HttpFailure::TooLarge);
        EXPECT_EQ(bytes.bytes.size(), c.fits ? Bound : 0);
        const HttpText text = client.Get(url(c.path), Bound);
        EXPECT_EQ(text.result.failure, c.fits ? HttpFailure::None : HttpFailure::TooLarge);
        EXPECT_EQ(text.text.size(), c.fits ? Bound : 0);
    }
    // Without a bound, the whole body comes.
    EXPECT_EQ(client.GetBytes(url("/bulk/300000")).bytes, bulkBytes(0, 300000));
}

TEST_F(HttpClientTest, RedirectsAreNotFollowedWhenTurnedOff)
{
    client.HandleRedirects = false;
    client.GetBytes(url("/redirect/3/bulk/100"));
    EXPECT_EQ(client.ResponseCode(), 302);
    EXPECT_EQ(service.requests().size(), 1u);
}

TEST_F(HttpClientTest, ErrorStatusesFailWithTheirStatusAndKeepTheirBodiesAway)
{
    const struct
    {
        const char *path;
        int status;
    } cases[] = {
        {"/bulk/5000?status=404", 404},
        {"/bulk/70000?status=500&mode=chunked", 500},
        {"/bulk/5000?status=403&mode=close", 403},
        {"/bulk/0?status=304", 304},
        {"/bulk/5000?status=302", 302}, // a redirect without Location
        {"/redirect/2/status/503", 503},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        RecordingProgress listener;
        MemorySink sink;
        const HttpResult result = client.Get(url(c.path), sink, &listener);
        EXPECT_EQ(result.failure, HttpFailure::Status);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(client.ResponseCode(), c.status);
        EXPECT_TRUE(sink.announced.isEmpty());
        EXPECT_TRUE(sink.data.isEmpty());
        // Bodies read aside still report their work, each begin with its end.
        EXPECT_EQ(listener.events.filter(QStringLiteral("begin")).size(),
                  listener.events.filter(QStringLiteral("end")).size());
    }
    EXPECT_EQ(client.Head(url("/bulk/10?status=404")).failure, HttpFailure::Status);
    EXPECT_EQ(client.Get(url("/bulk/10?status=500")).result.failure, HttpFailure::Status);
}

TEST_F(HttpClientTest, ARequestWithoutStatusLineLeavesTheLastStatus)
{
    client.GetBytes(url("/bulk/10?status=201"));
    ASSERT_EQ(client.ResponseCode(), 201);
    SampleService closed;
    closed.start();
    const QString refused = closed.baseUrl() + QStringLiteral("/bulk/10");
    closed.stop();
    const HttpResult result = client.Head(refused);
    EXPECT_EQ(result.failure, HttpFailure::Network);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(client.ResponseCode(), 201);
}

TEST_F(HttpClientTest, OnlyHttpAndHttpsAreSpoken)
{
    for (const char *target : {"file:///etc/passwd", "ftp://127.0.0.1/x", "gopher://x/",
                               "FILE:///etc/hostname", "/etc/passwd"}) {
        SCOPED_TRACE(target);
        MemorySink sink;
        const HttpResult result = client.Get(QString::fromLatin1(target), sink);
        EXPECT_EQ(result.failure, HttpFailure::Refused);
        EXPECT_EQ(result.status, 0);
        EXPECT_TRUE(sink.announced.isEmpty());
    }
    // Nor through a redirect.
    MemorySink sink;
    EXPECT_EQ(client.Get(url("/bulk/10?status=302&location=file:///etc/passwd"), sink).failure,
              HttpFailure::Refused);
    EXPECT_TRUE(sink.data.isEmpty());
    EXPECT_EQ(service.requests().size(), 1u);
}

TEST_F(HttpClientTest, TextIsDecodedInTheDeclaredCharset)
{
    const QByteArray bytes = bulkBytes(0, 300);
    const struct
    {
        const char *query;
        QString expected;
    } cases[] = {
        {"?type=application/octet-stream", QString::fromLatin1(bytes)},
        {"?type=text/html;%20charset=utf-8", QString::fromUtf8(bytes)},
        {"?type=text/html;%20charset=%22UTF-8%22", QString::fromUtf8(bytes)},
        {"?type=text/html;%20charset=x-unknown-set", QString::fromLatin1(bytes)},
        {"?type=text/html;%20charset=ISO-8859-1", QString::fromLatin1(bytes)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.query);
        EXPECT_EQ(client.Get(url("/bulk/300") + QString::fromLatin1(c.query)).text, c.expected);
    }
}

TEST_F(HttpClientTest, UrlCharactersBelow256GoOutAsThoseBytes)
{
    client.GetBytes(url("/bulk/10?name=") + QString(QChar(0xe9)) + QStringLiteral("t%C3%A9"));
    EXPECT_EQ(lastRequest().target, QByteArray("/bulk/10?name=\xe9t%C3%A9"));
    client.GetBytes(url("/bulk/10?name=") + QString(QChar(0x263a)));
    EXPECT_EQ(lastRequest().target, QByteArray("/bulk/10?name=\xe2\x98\xba"));
}

TEST_F(HttpClientTest, BlanksAndControlCharactersAreTheOnlyBytesEscaped)
{
    const struct
    {
        QString query;
        QByteArray sent;
    } cases[]{
        {QStringLiteral("?v=abc "), "/bulk/10?v=abc%20"},
        {QStringLiteral("?v=a b\tc\n"), "/bulk/10?v=a%20b%09c%0A"},
        {QStringLiteral("?v=a%20b+c"), "/bulk/10?v=a%20b+c"},
        {QStringLiteral("?v=\x7f<\">"), "/bulk/10?v=%7F<\">"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.query.toStdString());
        client.GetBytes(url("/bulk/10") + c.query);
        EXPECT_EQ(lastRequest().target, c.sent);
    }
}

TEST_F(HttpClientTest, GoesThroughTheProxyNamedInTheEnvironment)
{
    const QByteArray proxy = service.baseUrl().toLatin1();
    ::setenv("http_proxy", proxy.constData(), 1);
    const QString page =
        client.Get(QStringLiteral("http://www.youtube.com/watch?v=Vk2xSample1&hl=en-GB")).text;
    ::unsetenv("http_proxy");
    EXPECT_TRUE(page.contains(QLatin1String("\"url_encoded_fmt_stream_map\": \"url=")));
    const ServiceRequest request = lastRequest();
    EXPECT_EQ(request.target, "http://www.youtube.com/watch?v=Vk2xSample1&hl=en-GB");
    EXPECT_EQ(request.header("Host"), "www.youtube.com");
}

TEST_F(HttpClientTest, ARequestFromInsideAWorkEventIsRefused)
{
    RecordingProgress listener;
    bool refused = false;
    listener.onWork = [&](qint64) {
        refused = client.GetBytes(url("/bulk/10")).result.failure == HttpFailure::Refused;
        return WorkAnswer::GoOn;
    };
    EXPECT_EQ(client.GetBytes(url("/bulk/100"), HttpClient::NoLimit, &listener).bytes,
              bulkBytes(0, 100));
    EXPECT_TRUE(refused);
}

} // namespace
