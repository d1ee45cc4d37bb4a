#include "SampleService.h"

#include "CannedVideos.h"
#include "NoProxyEnvironment.h"
#include "RequestLog.h"
#include "net/HttpClient.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

// What the program does with one stream-map entry: the URL value with "\/"
// unescaped and decoded twice, plus the signature.
QString streamUrlOf(const QByteArray &entry)
{
    const qsizetype start = entry.indexOf("url=") + 4;
    const qsizetype end = entry.indexOf("\\u0026", start);
    QByteArray value = entry.mid(start, end < 0 ? -1 : end - start).replace("\\/", "/");
    QString url = QString::fromLatin1(
        QByteArray::fromPercentEncoding(QByteArray::fromPercentEncoding(value)));
    const qsizetype sig = entry.indexOf("sig=");
    if (sig >= 0) {
        const qsizetype sigEnd = entry.indexOf('\\', sig);
        url += QStringLiteral("&signature=") +
               QString::fromLatin1(entry.mid(sig + 4, sigEnd < 0 ? -1 : sigEnd - sig - 4));
    }
    return url;
}

class SampleServiceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        service.start();
        ::setenv("http_proxy", service.baseUrl().toLatin1().constData(), 1);
    }
    void TearDown() override { ::unsetenv("http_proxy"); }

    SampleService service;
    HttpClient client;
};

TEST(ServiceRequestTest, ReadsPlainAndProxyForms)
{
    const struct
    {
        const char *head;
        const char *host;
        const char *path;
        const char *query;
    } cases[] = {
        {"GET /watch?v=a&hl=en-GB HTTP/1.1\r\nHost: www.youtube.com\r\n\r\n", "www.youtube.com",
         "/watch", "v=a&hl=en-GB"},
        {"GET http://gdata.youtube.com/feeds/api/videos/a HTTP/1.1\r\nHost: "
         "gdata.youtube.com\r\n\r\n",
         "gdata.youtube.com", "/feeds/api/videos/a", ""},
        {"HEAD http://streams.sample.test:8080 HTTP/1.1\r\n\r\n", "streams.sample.test:8080", "/",
         ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.head);
        const auto request = ServiceRequest::parse(c.head);
        ASSERT_TRUE(request);
        EXPECT_EQ(request->host, c.host);
        EXPECT_EQ(request->path, c.path);
        EXPECT_EQ(request->query, c.query);
    }
    EXPECT_FALSE(ServiceRequest::parse("nonsense\r\n\r\n"));
    EXPECT_EQ(ServiceRequest::parse("GET / HTTP/1.1\r\nHost: A.Test:81\r\n\r\n")->hostName(),
              "a.test");
}

TEST(RequestLogTest, WritesOneJsonLinePerRequestWithEveryHeader)
{
    const auto request = ServiceRequest::parse(
        "GET /x?y=1 HTTP/1.1\r\nHost: h\r\nAccept: a\r\nAccept: b\r\nReferer: \xe9\r\n\r\n");
    const QByteArray line = RequestLog::jsonLine(*request);
    ASSERT_TRUE(line.endsWith('\n'));
    EXPECT_EQ(line.count('\n'), 1);
    const QJsonObject object = QJsonDocument::fromJson(line).object();
    EXPECT_EQ(object.value(QStringLiteral("method")).toString(), QStringLiteral("GET"));
    EXPECT_EQ(object.value(QStringLiteral("target")).toString(), QStringLiteral("/x?y=1"));
    const QJsonArray headers = object.value(QStringLiteral("headers")).toArray();
    ASSERT_EQ(headers.size(), 4);
    EXPECT_EQ(headers[2].toArray()[1].toString(), QStringLiteral("b"));
    EXPECT_EQ(headers[3].toArray()[1].toString(), QString(QChar(0xe9)));
}

TEST_F(SampleServiceTest, EveryCannedStreamIsReachableFromItsWatchPage)
{
    for (const CannedVideo &video : cannedVideos()) {
        SCOPED_TRACE(video.id.toStdString());
        const QString page = client
                                 .Get(QStringLiteral("http://www.youtube.com/watch?v=") +
                                      QString::fromLatin1(video.id) + QStringLiteral("&hl=en-GB"))
                                 .text;
        const QString key = QStringLiteral("\"url_encoded_fmt_stream_map\": \"");
        const qsizetype start = page.indexOf(key);
        ASSERT_GE(start, 0);
        const QString value =
            page.mid(start + key.size(),
                     page.indexOf(QLatin1Char('"'), start + key.size()) - start - key.size());
        const QList<QByteArray> entries = value.toLatin1().split(',');
        ASSERT_EQ(entries.size(), video.streams.size());
        for (qsizetype i = 0; i < entries.size(); ++i) {
            const CannedStream &stream = video.streams[i];
            SCOPED_TRACE(stream.itag);
            EXPECT_TRUE(entries[i].endsWith("\\u0026itag=" + QByteArray::number(stream.itag)));
            const QString url = streamUrlOf(entries[i]);
            EXPECT_TRUE(url.startsWith(QStringLiteral("http://streams.sample.test/videos/")));
            EXPECT_EQ(entries[i].contains("\\/"), true);
            client.Head(url);
            EXPECT_EQ(client.ResponseCode(), stream.checkStatus);
            // A generated stream answered its check; its body is the bulk one.
            if (stream.checkStatus != 200 || stream.generatedBytes >= 0)
                continue;
            QFile media(SampleService::defaultMediaDir() + QLatin1Char('/') +
                        QString::fromLatin1(stream.mediaFile));
            ASSERT_TRUE(media.open(QIODevice::ReadOnly));
            const QByteArray body = client.GetBytes(url).bytes;
            EXPECT_EQ(body, media.readAll());
            // A stream with a signature is refused without it.
            if (!stream.signature.isEmpty()) {
                EXPECT_EQ(client.Head(url.left(url.indexOf(QLatin1String("&signature=")))).status,
                          403);
            }
        }
    }
}

TEST(SampleServiceWithoutProxyTest, StreamUrlsCanNameTheServiceItself)
{
    clearProxyEnvironment();
    SampleService::Options options;
    options.streamHost.clear();
    SampleService service(options);
    service.start();
    HttpClient client;
    const QString page =
        client.Get(service.baseUrl() + QStringLiteral("/watch?v=NoFeedTitle")).text;
    const QByteArray expected = "url=http%253A\\/\\/127.0.0.1%253A" +
                                QByteArray::number(service.port()) + "\\/videos\\/NoFeedTitle\\/";
    ASSERT_TRUE(page.toLatin1().contains(expected)) << page.toStdString();
    const QString url = service.baseUrl() + QStringLiteral("/videos/NoFeedTitle/34.flv");
    EXPECT_FALSE(client.GetBytes(url).bytes.isEmpty());
}

TEST_F(SampleServiceTest, TheSampleMediaAreRealFlvAndMp4)
{
    QFile flv(SampleService::defaultMediaDir() + QStringLiteral("/sample.flv"));
    QFile mp4(SampleService::defaultMediaDir() + QStringLiteral("/sample.mp4"));
    ASSERT_TRUE(flv.open(QIODevice::ReadOnly));
    ASSERT_TRUE(mp4.open(QIODevice::ReadOnly));
    EXPECT_TRUE(flv.read(3) == "FLV");
    EXPECT_EQ(mp4.read(8).mid(4), "ftyp");
}

TEST_F(SampleServiceTest, FeedAndFallbackPageCarryTheTitles)
{
    for (const CannedVideo &video : cannedVideos()) {
        SCOPED_TRACE(video.id.toStdString());
        const QByteArray feed =
            client
                .GetBytes(QStringLiteral("http://gdata.youtube.com/feeds/api/videos/") +
                          QString::fromLatin1(video.id))
                .bytes;
        if (video.feedTitle) {
            EXPECT_TRUE(feed.contains(">" + video.feedTitle->toUtf8() + "</title>"));
        } else {
            EXPECT_FALSE(feed.contains("<title"));
        }
        const QString page =
            client
                .Get(QStringLiteral("http://www.youtube.com/get_video_info?video_id=") +
                     QString::fromLatin1(video.id))
                .text;
        // The page declares no charset, so its UTF-8 bytes arrive one character each.
        EXPECT_TRUE(page.contains(QStringLiteral("<title>YouTube - ") +
                                  QString::fromLatin1(video.pageTitle.toUtf8()) +
                                  QLatin1Char('<')));
    }
}

TEST_F(SampleServiceTest, EachHostServesOnlyItsOwnRequests)
{
    const char *wrong[] = {
        "http://gdata.youtube.com/watch?v=Vk2xSample1",
        "http://www.youtube.com/feeds/api/videos/Vk2xSample1",
        "http://streams.sample.test/get_video_info?video_id=Vk2xSample1",
        "http://www.youtube.com/watch?v=NoSuchVideo",
    };
    for (const char *url : wrong) {
        SCOPED_TRACE(url);
        EXPECT_EQ(client.GetBytes(QString::fromLatin1(url)).result.failure, HttpFailure::Status);
        EXPECT_EQ(client.ResponseCode(), 404);
    }
}

} // namespace
