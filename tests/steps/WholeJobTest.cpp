#include "FakeClock.h"
#include "FileContents.h"
#include "NoProxyEnvironment.h"
#include "RecordingJobWindow.h"
#include "SampleService.h"
#include "ServiceRoutes.h"
#include "job/Clock.h"
#include "job/JobController.h"
#include "job/ProgramState.h"
#include "net/HttpClient.h"
#include "steps/HttpServiceClient.h"
#include "steps/Transfer.h"
#include "steps/VideoLookup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class NoConversion final : public ConversionStep
{
public:
    int runs = 0;
    ConversionOutcome RunConversion(const ConversionOrder &) override
    {
        ++runs;
        return ConversionOutcome::Finished;
    }
};

// Link to saved file: the real lookup, client and transfer against the
// sample service, the job driven headless through the recording window.
class WholeJobTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(saveDir.isValid());
        clearProxyEnvironment();
        service.start();
        ::setenv("http_proxy", service.baseUrl().toLatin1().constData(), 1);
        window.folder = saveDir.path();
        clock.now = 1000;
        job.setSteps({lookup, transfer, conversion, window});
    }
    void TearDown() override { ::unsetenv("http_proxy"); }

    void run(const char *link)
    {
        window.link = QString::fromLatin1(link);
        job.StartButtonClick();
    }
    QStringList savedFiles() const { return QDir(saveDir.path()).entryList(QDir::Files); }

    QTemporaryDir saveDir;
    SampleService service;
    HttpClient http;
    ProgramState state;
    RecordingJobWindow window;
    FakeClock clock;
    JobController job{state, window.roles(), clock};
    HttpServiceClient client{http, job.pulse()};
    VideoLookup lookup{client, job.formats()};
    Transfer transfer{http, job.report(), job.pulse()};
    NoConversion conversion;
};

} // namespace

TEST_F(WholeJobTest, SavesTheServedBytesUnderTheTitle)
{
    const struct
    {
        const char *link;
        int format;
        std::deque<bool> answers;
        QString name;
        const char *media;
        int finalFormat;
    } cases[]{
        {"http://www.youtube.com/watch?v=vidlark0001",
         2,
         {},
         QStringLiteral("Vidlark Sample Clip_(360p).flv"),
         "sample.flv",
         2},
        {"http://www.youtube.com/watch?v=vidlark0001",
         4,
         {},
         QStringLiteral("Vidlark Sample Clip_(720p).mp4"),
         "sample.mp4",
         4},
        {"http://www.youtube.com/watch?v=vidlark0002",
         4,
         {true, true},
         QStringLiteral("Two Streams Only_(360p).flv"),
         "sample.flv",
         2},
        {"http://www.youtube.com/watch?v=vidlark0007",
         0,
         {},
         QString(83, QChar(0x6F22)) + QStringLiteral(".flv"),
         "sample.flv",
         0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.link);
        SCOPED_TRACE(c.format);
        window.format = c.format;
        window.stepDownAnswers = c.answers;
        run(c.link);

        EXPECT_EQ(window.statusLine, QStringLiteral("Download is complete: ") + c.name);
        EXPECT_EQ(window.format, c.finalFormat);
        const QByteArray served = contentsOf(SampleService::defaultMediaDir() + QLatin1Char('/') +
                                             QLatin1String(c.media));
        ASSERT_FALSE(served.isEmpty());
        EXPECT_EQ(contentsOf(saveDir.filePath(c.name)), served);
        EXPECT_EQ(state.DownloadState, dsIdle);
    }
    EXPECT_EQ(savedFiles().size(), std::size(cases));
    EXPECT_EQ(conversion.runs, 0);
}

TEST_F(WholeJobTest, RefusedStepDownAndUnknownVideoSaveNothing)
{
    for (const char *link : {"http://www.youtube.com/watch?v=vidlark0003",
                             "http://www.youtube.com/watch?v=nosuchvideo"}) {
        SCOPED_TRACE(link);
        window.format = 2;
        window.stepDownAnswers = {false};
        const qsizetype from = window.calls.size();
        run(link);
        EXPECT_TRUE(
            window.callsSince(from).contains(QStringLiteral("error box No video to download.")));
        EXPECT_EQ(window.statusLine, QStringLiteral("Error. No video to download."));
    }
    EXPECT_TRUE(savedFiles().isEmpty());
}

// The headers the service sees depend on the order of the requests: settings
// made for one request stay on the shared client for the next, and the next job.
TEST_F(WholeJobTest, HeadersOfTwoJobsFollowTheSettingsLeftInForce)
{
    const QString watchPage = QStringLiteral(
        "Mozilla/5.0 (Windows NT 6.1; WOW64; rv:14.0) Gecko/20100101 Firefox/14.0.1");
    const QString download = QStringLiteral("Mozilla/5.0 (Windows; U; Windows NT 5.1; en-US; "
                                            "rv:1.9.0.13) Gecko/2009073022 Firefox/3.0.13");
    const QString form = QStringLiteral("application/x-www-form-urlencoded");
    const QString keepAlive = QStringLiteral("Keep-Alive");
    const QString streams = QString::fromLatin1(ServiceRoutes::DefaultStreamHost);
    struct Row
    {
        QString request, host, userAgent, connection, contentType;
    };
    // Watch page, stream check, feed (no title), fallback page, download.
    const Row firstJob[]{
        {QStringLiteral("GET"), QStringLiteral("www.youtube.com"), watchPage, {}, {}},
        {QStringLiteral("HEAD"), streams, watchPage, {}, {}},
        {QStringLiteral("GET"), QStringLiteral("gdata.youtube.com"), watchPage, keepAlive, {}},
        {QStringLiteral("GET"), QStringLiteral("www.youtube.com"), download, keepAlive, form},
        {QStringLiteral("GET"), streams, download, keepAlive, form},
    };
    Row secondJob[std::size(firstJob)];
    std::copy(std::begin(firstJob), std::end(firstJob), std::begin(secondJob));
    // What the first job left in force reaches every request of the next one.
    for (Row &row : secondJob) {
        row.connection = keepAlive;
        row.contentType = form;
    }

    window.format = 2;
    for (int job = 0; job < 2; ++job) {
        SCOPED_TRACE(job);
        service.clearRequests();
        run("http://www.youtube.com/watch?v=vidlark0004");
        ASSERT_EQ(window.statusLine,
                  QStringLiteral("Download is complete: Fallback Page Title (HQ 360p).flv"));
        const std::vector<ServiceRequest> requests = service.requests();
        ASSERT_EQ(requests.size(), std::size(firstJob));
        for (std::size_t i = 0; i < requests.size(); ++i) {
            SCOPED_TRACE(i + 1);
            const ServiceRequest &request = requests[i];
            const Row &row = job == 0 ? firstJob[i] : secondJob[i];
            const auto header = [&request](const char *name) {
                return request.header(name).toStdString();
            };
            EXPECT_EQ(QString::fromLatin1(request.method), row.request);
            EXPECT_EQ(header("Host"), row.host.toStdString());
            EXPECT_EQ(header("Referer"), "http://www.youtube.com/watch?v=vidlark0004");
            EXPECT_EQ(header("User-Agent"), row.userAgent.toStdString());
            EXPECT_EQ(header("Accept"), "text/html, */*");
            EXPECT_EQ(header("Accept-Charset"), "*");
            EXPECT_EQ(header("Accept-Encoding"), "identity");
            EXPECT_EQ(header("Connection"), row.connection.toStdString());
            EXPECT_EQ(header("Content-Type"), row.contentType.toStdString());
            for (const auto &[name, value] : request.headers)
                EXPECT_NE(name.toLower(), QByteArray("cookie")) << value.toStdString();
        }
    }
}
