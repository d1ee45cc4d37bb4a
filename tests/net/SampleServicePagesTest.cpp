#include "CannedVideos.h"
#include "RawHttpConnection.h"
#include "SampleService.h"

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

} // namespace
