// The extractor's lookup and the route's choice on their own, without a session.
#include "steps/ExtractorLookup.h"

#include "ExtractorTestSupport.h"
#include "FakeServiceClient.h"
#include "RecordingJobWindow.h"
#include "job/JobReporter.h"
#include "job/ProgramState.h"
#include "job/StatePulse.h"
#include "steps/ExtractorProgram.h"
#include "steps/RoutedLookup.h"
#include "steps/VideoLookup.h"

#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(ExtractorLookupAlone, AHangIsEndedByTheTimeLimitAndByAStop)
{
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    const QString pids = scratch.filePath(QStringLiteral("pids"));
    ::setenv("STAND_IN_PIDS", pids.toLocal8Bit().constData(), 1);
    ProgramState state;
    state.DownloadState = dsResolving;
    RecordingJobWindow window;
    JobReporter reporter(state, window.roles());
    StatePulse pulse(state, window);
    ExtractorLookup lookup(reporter, pulse);

    const auto expectNoneLeft = [&] {
        const QStringList started =
            QString::fromLatin1(contentsOf(pids)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        EXPECT_EQ(started.size(), 2); // the stand-in and its child
        QElapsedTimer ended;
        ended.start();
        EXPECT_FALSE(anyLivesASecondAfter(started, ended))
            << started.join(QLatin1Char(' ')).toStdString();
        QFile::remove(pids);
    };

    // Long enough for the stand-in to start on a loaded machine.
    lookup.setTimeLimit(5000);
    QElapsedTimer took;
    took.start();
    const ResolvedVideo timedOut = lookup.ResolveVideo(StandIn, QStringLiteral("hang"));
    EXPECT_GE(took.elapsed(), 5000);
    EXPECT_LT(took.elapsed(), 6500);
    EXPECT_TRUE(timedOut.StreamUrl.isEmpty());
    EXPECT_EQ(timedOut.FailureReason,
              QStringLiteral("The extractor gave no answer within 5 seconds."));
    expectNoneLeft();

    // The window stays responsive: message passes keep coming while it waits.
    const auto passes = window.calls.filter(QStringLiteral("message pass")).size();
    EXPECT_GE(passes, 5000 / 200);

    // Stop once the stand-in has started its child.
    lookup.setTimeLimit(ExtractorLookup::TimeLimitMs);
    QElapsedTimer stopped;
    window.onMessagePass = [&] {
        if (!stopped.isValid() && contentsOf(pids).count('\n') == 2) {
            stopped.start();
            state.DownloadState = dsStopRequested;
        }
    };
    took.restart();
    const ResolvedVideo stoppedVideo = lookup.ResolveVideo(StandIn, QStringLiteral("hang"));
    ASSERT_TRUE(stopped.isValid());
    EXPECT_LT(stopped.elapsed(), 1000);
    EXPECT_LT(took.elapsed(), 10000);
    EXPECT_TRUE(stoppedVideo.StreamUrl.isEmpty());
    EXPECT_TRUE(stoppedVideo.FailureReason.isEmpty());
    expectNoneLeft();
    ::unsetenv("STAND_IN_PIDS");
}

TEST(RoutedLookupAlone, AWatchPageWithoutAStreamMapGoesToTheExtractor)
{
    const QString link = QStringLiteral("http://www.youtube.com/watch?v=vid1");
    const struct
    {
        QByteArray page;
        int status;
        QString reason; // empty: the extractor was not asked
    } cases[] = {
        {"<html>today's watch page, no stream map</html>", 200,
         QStringLiteral("stand-in does not know ") + link},
        {"<html>not found</html>", 404, QString()},
        {"<html>\"url_encoded_fmt_stream_map\": \"\"</html>", 200, QString()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.page.toStdString());
        FakeServiceClient client;
        client.answers[link + QStringLiteral("&hl=en-GB")] = {c.status, c.page};
        ProgramState state;
        state.DownloadState = dsResolving;
        RecordingJobWindow window;
        JobReporter reporter(state, window.roles());
        StatePulse pulse(state, window);
        VideoLookup builtIn(client, reporter);
        ExtractorLookup extractor(reporter, pulse);
        const QString program = StandIn;
        RoutedLookup lookup(pulse, builtIn, extractor, program);
        const ResolvedVideo video = lookup.ResolveVideo(link);
        EXPECT_TRUE(video.StreamUrl.isEmpty());
        EXPECT_EQ(video.FailureReason, c.reason);
    }
}

TEST(ExtractorProgramChoice, NoneTurnsTheRouteOffAndNothingMeansYtDlpOnPath)
{
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("yt-dlp"));
    const struct
    {
        std::optional<QString> setting;
        QString program;
    } cases[] = {
        {std::nullopt, onPath},
        {QString(), onPath},
        {QStringLiteral("  "), onPath},
        {QStringLiteral("none"), QString()},
        {QStringLiteral(" NoNe "), QString()},
        {QStringLiteral("/opt/yt-dlp/yt-dlp"), QStringLiteral("/opt/yt-dlp/yt-dlp")},
        {QStringLiteral(" my-extractor "), QStringLiteral("my-extractor")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.setting.value_or(QStringLiteral("(unset)")).toStdString());
        EXPECT_EQ(ChooseExtractorProgram(c.setting), c.program);
    }
}
