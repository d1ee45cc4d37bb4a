#include "CannedVideos.h"
#include "RawHttpConnection.h"
#include "SampleService.h"
#include "WebPages.h"

#include <QFile>
#include <QtEndian>

#include <gtest/gtest.h>
#include <memory>

namespace {

using Response = RawHttpConnection::Response;

// The three pages of a video, each with the text its padding goes before.
struct Page
{
    const char *name;
    QByteArray target;
    QByteArray before;
    qint64 CannedVideo::*padding;
};

QList<Page> pagesOf(const QByteArray &id)
{
    return {
        {"watch page", "http://www.youtube.com/watch?v=" + id, "<script>",
         &CannedVideo::watchPagePadding},
        {"feed entry", "http://gdata.youtube.com/feeds/api/videos/" + id, "<title",
         &CannedVideo::feedPadding},
        {"fallback page", "http://www.youtube.com/get_video_info?video_id=" + id, "<title>",
         &CannedVideo::fallbackPadding},
    };
}

CannedVideo plainVideo(const QByteArray &id)
{
    return {id, {{34, "sample.flv", 200, {}}}, QStringLiteral("Padded"), QStringLiteral("Padded")};
}

std::unique_ptr<SampleService> serviceWith(const CannedVideo &video)
{
    SampleService::Options options;
    options.videos.append(video);
    auto service = std::make_unique<SampleService>(options);
    service->start();
    return service;
}

TEST(SampleServicePagesTest, PaddingGoesBeforeWhatTheProgramReads)
{
    const CannedVideo plain = plainVideo("padded00001");
    const auto plainService = serviceWith(plain);
    CannedVideo padded = plain;
    padded.watchPagePadding = 1000003;
    padded.feedPadding = 2000000;
    padded.fallbackPadding = 1;
    const auto paddedService = serviceWith(padded);

    for (const Page &page : pagesOf(plain.id)) {
        SCOPED_TRACE(page.name);
        const Response original =
            RawHttpConnection::exchange(plainService->port(), "GET", page.target);
        ASSERT_EQ(original.status, 200);
        const qsizetype at = original.body.indexOf(page.before);
        ASSERT_GT(at, 0);
        QByteArray expected = original.body;
        expected.insert(at, QByteArray(padded.*page.padding, ' '));

        const Response response =
            RawHttpConnection::exchange(paddedService->port(), "GET", page.target);
        EXPECT_EQ(response.header("Content-Length"), QByteArray::number(expected.size()));
        EXPECT_TRUE(response.body == expected);
        EXPECT_TRUE(response.complete);
    }
}

TEST(SampleServicePagesTest, A256MiBPageIsMadeWhileItIsSent)
{
    const CannedVideo plain = plainVideo("padded00002");
    const auto plainService = serviceWith(plain);
    const qint64 padding = qint64(256) << 20;
    for (const Page &page : pagesOf(plain.id)) {
        SCOPED_TRACE(page.name);
        CannedVideo padded = plain;
        padded.*page.padding = padding;
        const auto paddedService = serviceWith(padded);
        const QByteArray original =
            RawHttpConnection::exchange(plainService->port(), "GET", page.target).body;

        RawHttpConnection connection(paddedService->port());
        ASSERT_TRUE(connection.sendRequest("GET", page.target, {"Connection: close"}));
        const Response head = connection.readResponse(false, 0);
        const qint64 total = original.size() + padding;
        EXPECT_EQ(head.header("Content-Length"), QByteArray::number(total));
        // What follows the padding is the whole rest of the page.
        const QByteArray rest = original.mid(original.indexOf(page.before));
        QByteArray tail;
        EXPECT_EQ(connection.discardToEnd(tail, rest.size() + 1), total);
        EXPECT_EQ(tail, ' ' + rest);
    }
}

TEST(SampleServicePagesTest, HostileTitlesArriveByteForByte)
{
    const QString titles[] = {
        QStringLiteral("Before") + QChar(0) + QStringLiteral("After"),
        QStringLiteral("\x1b[31mRed\x1b[0m \x1b]0;window title\x07 \x1b[2J"),
        QStringLiteral("Invoice \u202Efdp.exe"),
        QString(300000, QLatin1Char('x')),
        QStringLiteral("."),
        QStringLiteral(".."),
        QStringLiteral("....."),
        QStringLiteral("../../etc/passwd"),
        QStringLiteral("a/b\\c:d*e?f\"g<h>i|j\r\nk\tl"),
    };
    SampleService::Options options;
    for (qsizetype i = 0; i < qsizetype(std::size(titles)); ++i) {
        const QByteArray id = "hostile" + QByteArray::number(i).rightJustified(4, '0');
        options.videos.append({id, {{34, "sample.flv", 200, {}}}, titles[i], titles[i]});
    }
    SampleService service(options);
    service.start();
    for (const CannedVideo &video : options.videos.mid(cannedVideos().size())) {
        SCOPED_TRACE(video.id.toStdString());
        const QByteArray title = video.pageTitle.toUtf8();
        const QList<Page> pages = pagesOf(video.id);
        const QByteArray expected[] = {
            "<title>" + title + " - YouTube</title>",
            "<title type='text'>" + title + "</title>",
            "<title>YouTube - " + title + "</title>",
        };
        for (qsizetype i = 0; i < pages.size(); ++i) {
            SCOPED_TRACE(pages[i].name);
            const Response response =
                RawHttpConnection::exchange(service.port(), "GET", pages[i].target);
            EXPECT_EQ(response.status, 200);
            EXPECT_TRUE(response.body.contains(expected[i]));
        }
    }
    // The canned videos are still there beside them, and only this service knows them.
    EXPECT_EQ(RawHttpConnection::exchange(service.port(), "GET", "/watch?v=vidlark0001").status,
              200);
    SampleService plain;
    plain.start();
    EXPECT_EQ(RawHttpConnection::exchange(plain.port(), "GET", "/watch?v=hostile0000").status, 404);
}

// The height of an MP4's video track: the first track header with a width.
int mp4Height(const QByteArray &mp4)
{
    for (qsizetype at = mp4.indexOf("tkhd"); at >= 0; at = mp4.indexOf("tkhd", at + 4)) {
        const qsizetype version0Size = 4 + 4 + 4 + 4 + 4 + 4 + 8 + 2 + 2 + 2 + 2 + 36;
        const qsizetype fields = at + 4 + (mp4[at + 4] == 1 ? version0Size + 12 : version0Size);
        if (fields + 8 > mp4.size())
            break;
        const auto width = qFromBigEndian<quint32>(mp4.constData() + fields);
        if (width != 0)
            return int(qFromBigEndian<quint32>(mp4.constData() + fields + 4) >> 16);
    }
    return 0;
}

QByteArray mediaFile(const QString &name)
{
    QFile file(SampleService::defaultMediaDir() + QLatin1Char('/') + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(SampleServiceWebPagesTest, TheProgressivePageOffersThreeHeights)
{
    SampleService service;
    service.start();
    for (const QByteArray &host : {QByteArray("http://media.sample.test"), QByteArray()}) {
        SCOPED_TRACE(host.toStdString());
        const Response page =
            RawHttpConnection::exchange(service.port(), "GET", host + "/pages/progressive");
        ASSERT_EQ(page.status, 200);
        EXPECT_EQ(page.header("Content-Type"), QByteArray("text/html; charset=utf-8"));
        EXPECT_TRUE(page.body.contains("<title>Sample HTML5 Video</title>"));
        qsizetype previous = 0;
        for (const int height : {720, 360, 240}) {
            SCOPED_TRACE(height);
            const QByteArray number = QByteArray::number(height);
            const QByteArray file = "progressive-" + number + ".mp4";
            const QByteArray source = "<source src=\"/media/" + file +
                                      "\" type=\"video/mp4\" label=\"" + number + "p\" res=\"" +
                                      number + "\">";
            const qsizetype at = page.body.indexOf(source);
            EXPECT_GT(at, previous); // in this order, best first
            previous = at;

            const QByteArray media = mediaFile(QString::fromLatin1(file));
            EXPECT_EQ(mp4Height(media), height);
            const Response whole =
                RawHttpConnection::exchange(service.port(), "GET", host + "/media/" + file);
            EXPECT_EQ(whole.status, 200);
            EXPECT_EQ(whole.header("Content-Type"), QByteArray("video/mp4"));
            EXPECT_EQ(whole.header("ETag"), "\"media-" + file + "-v0\"");
            EXPECT_EQ(whole.header("Accept-Ranges"), QByteArray("bytes"));
            EXPECT_TRUE(whole.body == media);
            const Response part = RawHttpConnection::exchange(
                service.port(), "GET", host + "/media/" + file,
                {"Range: bytes=1000-", "If-Range: \"media-" + file + "-v0\""});
            EXPECT_EQ(part.status, 206);
            EXPECT_TRUE(part.body == media.mid(1000));
        }
    }
}

TEST(SampleServiceWebPagesTest, TheHlsPageOffersAPlaylistOfSegments)
{
    SampleService service;
    service.start();
    for (const QByteArray &host : {QByteArray("http://media.sample.test"), QByteArray()}) {
        SCOPED_TRACE(host.toStdString());
        const Response page =
            RawHttpConnection::exchange(service.port(), "GET", host + "/pages/hls");
        ASSERT_EQ(page.status, 200);
        EXPECT_TRUE(page.body.contains(
            "<source src=\"/media/hls/index.m3u8\" type=\"application/x-mpegURL\">"));
        const Response playlist =
            RawHttpConnection::exchange(service.port(), "GET", host + "/media/hls/index.m3u8");
        ASSERT_EQ(playlist.status, 200);
        EXPECT_EQ(playlist.header("Content-Type"), QByteArray("application/vnd.apple.mpegurl"));
        EXPECT_TRUE(playlist.body.startsWith("#EXTM3U\n"));
        EXPECT_TRUE(playlist.body.contains("#EXT-X-ENDLIST"));
        QList<QByteArray> segments;
        for (const QByteArray &line : playlist.body.split('\n')) {
            if (!line.isEmpty() && !line.startsWith('#'))
                segments.append(line);
        }
        EXPECT_EQ(segments,
                  (QList<QByteArray>{"segment0.ts", "segment1.ts", "segment2.ts", "segment3.ts"}));
        for (const QByteArray &segment : segments) {
            SCOPED_TRACE(segment.toStdString());
            const QByteArray file =
                mediaFile(QStringLiteral("hls/") + QString::fromLatin1(segment));
            ASSERT_GT(file.size(), 188);
            EXPECT_EQ(file[0], '\x47'); // an MPEG-TS packet's sync byte
            EXPECT_EQ(file[188], '\x47');
            const Response part = RawHttpConnection::exchange(
                service.port(), "GET", host + "/media/hls/" + segment, {"Range: bytes=188-"});
            EXPECT_EQ(part.status, 206);
            EXPECT_EQ(part.header("Content-Type"), QByteArray("video/mp2t"));
            EXPECT_EQ(part.header("ETag"), "\"media-hls-" + segment + "-v0\"");
            EXPECT_TRUE(part.body == file.mid(188));
        }
    }
}

TEST(SampleServiceWebPagesTest, TheMediaHostServesOnlyItsPagesAndFiles)
{
    SampleService service;
    service.start();
    const char *missing[] = {
        "http://media.sample.test/watch?v=vidlark0001",
        "http://media.sample.test/videos/vidlark0001/18.mp4",
        "http://www.youtube.com/pages/progressive",
        "http://streams.sample.test/media/progressive-240.mp4",
        "/media/sample.flv",
        "/media/../sample.flv",
        "/media/progressive-480.mp4",
        "/media/hls/segment.ts",
        "/media/hls/segment1x.ts",
        "/media/hls/../progressive-240.mp4",
        "/media/hls/segment9.ts", // the name is right, but there is no such file
    };
    for (const char *target : missing) {
        SCOPED_TRACE(target);
        EXPECT_EQ(RawHttpConnection::exchange(service.port(), "GET", target).status, 404);
    }
}

} // namespace
