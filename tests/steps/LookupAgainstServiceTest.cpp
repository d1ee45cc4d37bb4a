#include "NoProxyEnvironment.h"
#include "RecordingJobWindow.h"
#include "ResolveInto.h"
#include "SampleService.h"
#include "job/JobReporter.h"
#include "job/ProgramState.h"
#include "job/StatePulse.h"
#include "net/HttpClient.h"
#include "steps/HttpServiceClient.h"
#include "steps/VideoLookup.h"

#include <gtest/gtest.h>

namespace {

const QDateTime Moment(QDate(2012, 8, 15), QTime(14, 5, 9));

QString streamUrl(const char *id, int itag, const char *extension, const char *signature)
{
    QString url = QStringLiteral("http://streams.sample.test/videos/%1/%2%3?id=%1&itag=%2"
                                 "&expire=1300000000")
                      .arg(QLatin1String(id))
                      .arg(itag)
                      .arg(QLatin1String(extension));
    if (*signature)
        url += QStringLiteral("&signature=") + QLatin1String(signature);
    return url;
}

// The lookup against the sample service, reached as the proxy of the real hosts.
class LookupAgainstServiceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        clearProxyEnvironment();
        service.start();
        ::setenv("http_proxy", service.baseUrl().toLatin1().constData(), 1);
    }
    void TearDown() override { ::unsetenv("http_proxy"); }

    SampleService service;
    HttpClient http;
    ProgramState state;
    RecordingJobWindow window;
    JobReporter reporter{state, window.roles()};
    StatePulse pulse{state, window};
    HttpServiceClient client{http, pulse};
    VideoLookup lookup{client, reporter, [] { return Moment; }};
};

} // namespace

TEST_F(LookupAgainstServiceTest, CannedVideosResolveToCheckedStreamsAndNames)
{
    const QString longTitle =
        QStringLiteral("A title of ninety-five characters, long enough that the 360p suffix "
                       "pushes it past the limit 95");
    const struct
    {
        const char *link;
        int format;
        std::deque<bool> answers;
        QString url;
        QString name;
        int finalFormat;
        int questions;
    } cases[]{
        {"http://www.youtube.com/watch?v=vidlark0001",
         2,
         {},
         streamUrl("vidlark0001", 34, ".flv", "34AA.BB34"),
         QStringLiteral("Vidlark Sample Clip_(360p).flv"),
         2,
         0},
        {"http://www.youtube.com/watch?v=vidlark0001&feature=related",
         5,
         {},
         streamUrl("vidlark0001", 37, ".mp4", "37AA.BB37"),
         QStringLiteral("Vidlark Sample Clip_(1080p).mp4"),
         5,
         0},
        {"http://youtu.be/vidlark0001",
         1,
         {},
         streamUrl("vidlark0001", 18, ".mp4", ""),
         QStringLiteral("Vidlark Sample Clip.mp4"),
         1,
         0},
        {"http://www.youtube.com/v/vidlark0002",
         4,
         {true, true},
         streamUrl("vidlark0002", 34, ".flv", "34CC.DD34"),
         QStringLiteral("Two Streams Only_(360p).flv"),
         2,
         2},
        {"http://www.youtube.com/watch?v=vidlark0003", 2, {false}, QString(), QString(), 2, 1},
        {"http://www.youtube.com/watch?v=vidlark0003",
         2,
         {true, true},
         streamUrl("vidlark0003", 5, ".flv", ""),
         QStringLiteral("Refused Stream.flv"),
         0,
         2},
        {"http://www.youtube.com/watch?v=vidlark0004",
         2,
         {},
         streamUrl("vidlark0004", 34, ".flv", ""),
         QStringLiteral("Fallback Page Title (HQ 360p).flv"),
         2,
         0},
        {"http://www.youtube.com/watch?v=vidlark0004",
         1,
         {},
         streamUrl("vidlark0004", 18, ".mp4", ""),
         QStringLiteral("Fallback Page Title.mp4"),
         1,
         0},
        {"http://www.youtube.com/watch?v=vidlark0005",
         2,
         {},
         streamUrl("vidlark0005", 34, ".flv", ""),
         QString::fromUtf16(u"Caf\u00E9 \u00DCr\u00FCmqi \u6F22\u5B57_(360p).flv"),
         2,
         0},
        // 95 + "_(360p)" is over the limit: the fallback page names the file.
        {"http://www.youtube.com/watch?v=vidlark0006",
         2,
         {},
         streamUrl("vidlark0006", 34, ".flv", ""),
         QStringLiteral("Page title of the long one (HQ 360p).flv"),
         2,
         0},
        {"http://www.youtube.com/watch?v=vidlark0006",
         0,
         {},
         streamUrl("vidlark0006", 5, ".flv", ""),
         longTitle + QStringLiteral(".flv"),
         0,
         0},
        // 300 bytes of title are cut to what a file name can hold.
        {"http://www.youtube.com/watch?v=vidlark0007",
         0,
         {},
         streamUrl("vidlark0007", 5, ".flv", ""),
         QString(83, QChar(0x6F22)) + QStringLiteral(".flv"),
         0,
         0},
        {"http://www.youtube.com/watch?v=nosuchvideo", 2, {}, QString(), QString(), 2, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.link);
        SCOPED_TRACE(c.format);
        window = RecordingJobWindow();
        window.format = c.format;
        window.stepDownAnswers = c.answers;
        QString url, name, defaultName;
        resolveInto(lookup, QString::fromLatin1(c.link), url, name, defaultName);
        EXPECT_EQ(url, c.url);
        EXPECT_EQ(name, c.name);
        EXPECT_EQ(defaultName,
                  c.url.isEmpty() ? QString() : QStringLiteral("movie_08-15-2012_14-05-09.flv"));
        EXPECT_EQ(window.format, c.finalFormat);
        EXPECT_EQ(window.calls.filter(QStringLiteral("question ")).size(), c.questions);
    }
}

TEST_F(LookupAgainstServiceTest, RequestsOfOneLookupInOrder)
{
    window.format = 2;
    QString url, name, defaultName;
    resolveInto(lookup, QStringLiteral("http://www.youtube.com/watch?v=vidlark0004"), url, name,
                defaultName);
    QStringList lines;
    for (const ServiceRequest &request : service.requests())
        lines.append(QString::fromLatin1(request.method + ' ' + request.target));
    EXPECT_EQ(lines,
              QStringList({
                  QStringLiteral("GET http://www.youtube.com/watch?v=vidlark0004&hl=en-GB"),
                  QStringLiteral("HEAD ") + streamUrl("vidlark0004", 34, ".flv", ""),
                  QStringLiteral("GET http://gdata.youtube.com/feeds/api/videos/vidlark0004"),
                  QStringLiteral("GET http://www.youtube.com/get_video_info?video_id=vidlark0004"),
              }));
}

TEST_F(LookupAgainstServiceTest, APagePastItsBoundFailsLikeItsRequest)
{
    const qint64 MiB = qint64(1) << 20;
    const struct
    {
        const char *name;
        qint64 watchPadding, feedPadding, fallbackPadding;
        bool feedHasTitle;
        bool found;
        QString saveFileName;
    } cases[]{
        {"watch page under its bound", 15 * MiB, 0, 0, true, true,
         QStringLiteral("Padded_(360p).flv")},
        {"watch page past its bound", 17 * MiB, 0, 0, true, false, QString()},
        {"feed past its bound", 0, 2 * MiB, 0, true, false, QString()},
        {"fallback page under its bound", 0, 0, MiB - 4096, false, true,
         QStringLiteral("Padded Page (HQ 360p).flv")},
        {"fallback page past its bound", 0, 0, 2 * MiB, false, true,
         QStringLiteral("(HQ 360p).flv")}, // as for a page without the title
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        SampleService::Options options;
        CannedVideo video{"padded00001",
                          {{34, "sample.flv", 200, {}}},
                          c.feedHasTitle ? std::optional(QStringLiteral("Padded")) : std::nullopt,
                          QStringLiteral("Padded Page")};
        video.watchPagePadding = c.watchPadding;
        video.feedPadding = c.feedPadding;
        video.fallbackPadding = c.fallbackPadding;
        options.videos = {video};
        SampleService padded(options);
        padded.start();
        ::setenv("http_proxy", padded.baseUrl().toLatin1().constData(), 1);
        window = RecordingJobWindow();
        window.format = 2;
        QString url, name, defaultName;
        resolveInto(lookup, QStringLiteral("http://www.youtube.com/watch?v=padded00001"), url, name,
                    defaultName);
        EXPECT_EQ(!url.isEmpty(), c.found);
        EXPECT_EQ(name, c.saveFileName);
    }
}
