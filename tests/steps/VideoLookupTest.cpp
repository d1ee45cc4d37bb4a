#include "steps/VideoLookup.h"

#include "FakeServiceClient.h"
#include "RecordingJobWindow.h"
#include "ResolveInto.h"
#include "job/JobReporter.h"
#include "job/ProgramState.h"
#include "service/FormatTable.h"

#include <gtest/gtest.h>

namespace {

const QString Id = QStringLiteral("vid1");
const QString Watch = QStringLiteral("http://www.youtube.com/watch?v=vid1");
const QString WatchPage = Watch + QStringLiteral("&hl=en-GB");
const QString Feed = QStringLiteral("http://gdata.youtube.com/feeds/api/videos/vid1");
const QString Info = QStringLiteral("http://www.youtube.com/get_video_info?video_id=vid1");
const QDateTime Moment(QDate(2012, 8, 15), QTime(14, 5, 9));

QString streamOf(int itag)
{
    return QStringLiteral("http://streams.test/v/vid1_%1.flv?k=v&signature=S%1").arg(itag);
}

QByteArray entryOf(int itag)
{
    return QStringLiteral("url=http%3A%2F%2Fstreams.test%2Fv%2Fvid1_%1.flv%3Fk%253Dv\\u0026"
                          "itag=%1\\u0026sig=S%1")
        .arg(itag)
        .toLatin1();
}

QByteArray pageWithMap(const QByteArray &map)
{
    return "<html><script>var a = {\"url_encoded_fmt_stream_map\": \"" + map +
           "\"};</script></html>";
}

QByteArray pageWith(std::initializer_list<int> itags)
{
    QByteArrayList entries;
    for (int itag : itags)
        entries.append(entryOf(itag));
    return pageWithMap(entries.join(','));
}

class VideoLookupTest : public ::testing::Test
{
protected:
    FakeServiceClient client;
    ProgramState state;
    RecordingJobWindow window;
    JobReporter reporter{state, window.roles()};
    VideoLookup lookup{client, reporter, [] { return Moment; }};

    // Answers the watch page, a 200 check for each listed stream and the feed.
    void serve(std::initializer_list<int> itags, const QByteArray &title = "Clip")
    {
        client.answers[WatchPage] = {200, pageWith(itags)};
        for (int itag : itags)
            client.answers[streamOf(itag)] = {200, {}};
        client.answers[Feed] = {200, "<entry><title type='text'>" + title + "</title></entry>"};
    }

    QStringList questions() const
    {
        QStringList asked;
        for (const QString &call : window.calls) {
            if (call.startsWith(QStringLiteral("question ")))
                asked.append(call);
        }
        return asked;
    }

    static QString question(int index, bool yes)
    {
        return QStringLiteral("question ") + formatAt(index)->StepDownQuestion +
               (yes ? QStringLiteral(" -> Yes") : QStringLiteral(" -> No"));
    }

    // The caller's variable holds the id until a stream is found.
    bool getStreamInfo(QString &url, QString &name)
    {
        url = Id;
        return lookup.GetStreamInfo(Id, url, name);
    }
};

} // namespace

TEST_F(VideoLookupTest, StepDownChainsFollowTheAnswers)
{
    const struct
    {
        const char *name;
        std::initializer_list<int> itags;
        std::map<int, int> checkStatus; // itag -> status of its check
        int selection;
        std::deque<bool> answers;
        bool result;
        int finalSelection;
        std::vector<std::pair<int, bool>> questions;
        int checks;
    } cases[]{
        // clang-format off
        {"4 steps down to 2 with Yes, Yes", {34, 5}, {}, 4, {true, true}, true, 2,
         {{4, true}, {3, true}}, 1},
        {"No keeps the refused format", {34, 5}, {{34, 403}}, 2, {false}, false, 2,
         {{2, false}}, 1},
        {"Yes after a failed check tries the lower format", {18, 34}, {{34, 403}}, 2, {true},
         true, 1, {{2, true}}, 2},
        {"index 0 missing ends without a question", {34, 18}, {}, 0, {}, false, 0, {}, 0},
        {"index 0 failing its check ends without a question", {5}, {{5, 404}}, 0, {}, false, 0,
         {}, 1},
        {"Yes then No", {5}, {}, 4, {true, false}, false, 3, {{4, true}, {3, false}}, 0},
        {"down to index 0 and missing there", {37}, {{37, 500}}, 5,
         {true, true, true, true, true}, false, 0,
         {{5, true}, {4, true}, {3, true}, {2, true}, {1, true}}, 1},
        {"status 300 counts as missing", {22}, {{22, 300}}, 4, {false}, false, 4, {{4, false}}, 1},
        {"status 299 counts as found", {22}, {{22, 299}}, 4, {}, true, 4, {}, 1},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        client = FakeServiceClient();
        window = RecordingJobWindow();
        serve(c.itags);
        for (const auto &[itag, status] : c.checkStatus)
            client.answers[streamOf(itag)].status = status;
        window.format = c.selection;
        window.stepDownAnswers = c.answers;

        QString url, name;
        EXPECT_EQ(getStreamInfo(url, name), c.result);
        EXPECT_EQ(window.format, c.finalSelection);
        QStringList expected;
        for (const auto &[index, yes] : c.questions)
            expected.append(question(index, yes));
        EXPECT_EQ(questions(), expected);
        int checks = 0;
        for (const auto &r : client.requests)
            checks += r.method == QStringLiteral("HEAD");
        EXPECT_EQ(checks, c.checks);
        if (c.result) {
            EXPECT_EQ(url, streamOf(c.itags.begin()[0]));
        }
    }
}

TEST_F(VideoLookupTest, FirstEntryWithTheFormatIsTaken)
{
    serve({22, 18, 5});
    QString url, name;
    window.format = 1;
    EXPECT_TRUE(getStreamInfo(url, name));
    EXPECT_EQ(url, streamOf(18));
    window.format = 0;
    EXPECT_TRUE(getStreamInfo(url, name));
    EXPECT_EQ(url, streamOf(5));
}

TEST_F(VideoLookupTest, MapsThatNameNoStreamCountAsAMissingFormat)
{
    const struct
    {
        const char *name;
        QByteArray page;
    } cases[]{
        {"empty map", pageWithMap("")},
        {"map without closing quote", "\"url_encoded_fmt_stream_map\": \"itag=34"},
        {"entry without url=", pageWithMap("itag=34\\u0026sig=X")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        client = FakeServiceClient();
        window = RecordingJobWindow();
        client.answers[WatchPage] = {200, c.page};
        window.format = 2;
        QString url, name;
        EXPECT_FALSE(getStreamInfo(url, name));
        EXPECT_EQ(questions(), QStringList{question(2, false)});
        EXPECT_EQ(client.requestLines(), QStringList{QStringLiteral("GET ") + WatchPage});
        EXPECT_EQ(url, Id);
    }
}

TEST_F(VideoLookupTest, FailuresBeforeTheCheckAskNothing)
{
    const struct
    {
        const char *name;
        std::optional<FakeServiceClient::Answer> watchPage;
    } cases[]{
        {"watch page 404", FakeServiceClient::Answer{404, pageWith({34})}},
        {"watch page unreachable", std::nullopt},
        {"no map key", FakeServiceClient::Answer{200, "<html>removed</html>"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        client = FakeServiceClient();
        window = RecordingJobWindow();
        if (c.watchPage)
            client.answers[WatchPage] = *c.watchPage;
        QString url, name;
        EXPECT_FALSE(getStreamInfo(url, name));
        EXPECT_TRUE(questions().isEmpty());
        EXPECT_EQ(client.requestLines(), QStringList{QStringLiteral("GET ") + WatchPage});
        // The connection is closed after the watch page whatever its outcome.
        EXPECT_EQ(client.disconnects, 1);
    }
}

TEST_F(VideoLookupTest, CheckWithoutResponseIsJudgedByTheLastStatus)
{
    serve({34});
    client.answers.remove(streamOf(34));
    QString url, name;
    // The watch page's 200 is the last status the client recorded.
    EXPECT_TRUE(getStreamInfo(url, name));
    EXPECT_EQ(url, streamOf(34));
}

TEST_F(VideoLookupTest, FeedFailureFailsAFoundStream)
{
    serve({34});
    client.answers[Feed].status = 500;
    QString url, name;
    EXPECT_FALSE(getStreamInfo(url, name));
    EXPECT_TRUE(name.isEmpty());
}

TEST_F(VideoLookupTest, NothingSelectedFindsNothing)
{
    serve({34, 5});
    window.format = -1;
    QString url, name;
    EXPECT_FALSE(getStreamInfo(url, name));
    EXPECT_EQ(client.requestLines().size(), 1);
}

TEST_F(VideoLookupTest, ResolveSetsEachRequestsSettingsInOrder)
{
    serve({34}, "");
    client.answers[Info] = {200, "<title>YouTube - Fallback</title>"};
    QString url, name, defaultName;
    resolveInto(lookup, QStringLiteral("http://www.youtube.com/watch?v=vid1&feature=x"), url, name,
                defaultName);

    EXPECT_EQ(url, streamOf(34));
    EXPECT_EQ(name, QStringLiteral("Fallback (HQ 360p).flv"));
    EXPECT_EQ(defaultName, QStringLiteral("movie_08-15-2012_14-05-09.flv"));
    ASSERT_EQ(
        client.requestLines(),
        QStringList({QStringLiteral("GET ") + WatchPage, QStringLiteral("HEAD ") + streamOf(34),
                     QStringLiteral("GET ") + Feed, QStringLiteral("GET ") + Info}));

    using S = FakeServiceClient::Settings;
    const QString watchAgent = QStringLiteral(
        "Mozilla/5.0 (Windows NT 6.1; WOW64; rv:14.0) Gecko/20100101 Firefox/14.0.1");
    const QString fallbackAgent =
        QStringLiteral("Mozilla/5.0 (Windows; U; Windows NT 5.1; en-US; rv:1.9.0.13) "
                       "Gecko/2009073022 Firefox/3.0.13");
    const QString any = QStringLiteral("text/html, */*");
    const QString keepAlive = QStringLiteral("Keep-Alive");
    const QString form = QStringLiteral("application/x-www-form-urlencoded");
    const S expected[]{
        {false, true, Watch, watchAgent, any, QStringLiteral("*"), QString(), QString()},
        {false, true, Watch, watchAgent, any, QStringLiteral("*"), QString(), QString()},
        {false, true, Watch, watchAgent, any, QStringLiteral("*"), keepAlive, QString()},
        {false, true, Watch, fallbackAgent, any, QStringLiteral("*"), keepAlive, form},
    };
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i + 1);
        EXPECT_TRUE(client.requests[i].settings == expected[i]);
    }

    // A second job renews the watch page settings but keeps Connection and Content-Type.
    client.requests.clear();
    client.settings.HandleRedirects = false;
    resolveInto(lookup, QStringLiteral("http://youtu.be/vid1"), url, name, defaultName);
    ASSERT_FALSE(client.requests.empty());
    EXPECT_TRUE(client.requests[0].settings ==
                (S{false, true, Watch, watchAgent, any, QStringLiteral("*"), keepAlive, form}));
}

TEST_F(VideoLookupTest, ResolveNamesTheFileAfterTheFeedTitle)
{
    serve({22}, "AC/DC: Live?");
    window.format = 4;
    QString url, name, defaultName;
    resolveInto(lookup, QStringLiteral("http://www.youtube.com/v/vid1"), url, name, defaultName);
    EXPECT_EQ(url, streamOf(22));
    EXPECT_EQ(name, QStringLiteral("AC_DC_ Live__(720p).mp4"));
    EXPECT_EQ(client.requests.size(), 3u); // no fallback page
}

TEST_F(VideoLookupTest, ResolveFailuresLeaveEmptyResults)
{
    const struct
    {
        const char *link;
        bool served;
        int requests;
    } cases[]{
        {"", true, 0},
        {"http://vimeo.com/watch?v=vid1", true, 0},
        {"http://www.youtube.com/watch?v=other", true, 1},
        {"http://www.youtube.com/watch?v=vid1", false, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.link);
        client = FakeServiceClient();
        if (c.served)
            serve({34});
        QString url = QStringLiteral("stale"), name = QStringLiteral("stale");
        QString defaultName;
        resolveInto(lookup, QString::fromUtf8(c.link), url, name, defaultName);
        EXPECT_TRUE(url.isEmpty());
        EXPECT_TRUE(name.isEmpty());
        EXPECT_TRUE(defaultName.isEmpty());
        EXPECT_EQ(client.requests.size(), static_cast<std::size_t>(c.requests));
    }
}
