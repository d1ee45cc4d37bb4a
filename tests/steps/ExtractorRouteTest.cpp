#include "ExtractorTestSupport.h"
#include "FakeServiceClient.h"
#include "FileContents.h"
#include "NoProxyEnvironment.h"
#include "RecordingJobWindow.h"
#include "SampleService.h"
#include "SessionAgainstService.h"
#include "job/JobReporter.h"
#include "job/ProgramState.h"
#include "job/StatePulse.h"
#include "service/ExtractorFailures.h"
#include "service/ExtractorRelease.h"
#include "session/JobSession.h"
#include "steps/DownloadLock.h"
#include "steps/ExtractorDownload.h"
#include "steps/ExtractorLookup.h"
#include "steps/ExtractorProgram.h"
#include "steps/PartialFile.h"
#include "steps/RoutedLookup.h"
#include "steps/VideoLookup.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <cerrno>
#include <deque>
#include <gtest/gtest.h>
#include <sys/resource.h>

TEST_F(ExtractorRoute, TheProgressivePageGoesThroughTheOwnTransferByteForByte)
{
    ASSERT_FALSE(ytDlp.isEmpty()) << "yt-dlp is not installed (scripts/install-deps)";
    const struct
    {
        int format;
        std::deque<bool> answers;
        int endFormat;
        QString name;
        const char *media;
    } cases[] = {
        {0, {}, 0, QStringLiteral("Sample HTML5 Video (1).mp4"), "progressive-240.mp4"},
        {1, {}, 1, QStringLiteral("Sample HTML5 Video (1).mp4"), "progressive-360.mp4"},
        {2, {}, 2, QStringLiteral("Sample HTML5 Video (1)_(360p).mp4"), "progressive-360.mp4"},
        {4, {}, 4, QStringLiteral("Sample HTML5 Video (1)_(720p).mp4"), "progressive-720.mp4"},
        // No 480p or 1080p: the built-in route's questions, and the lowered selection stays.
        {3, {true}, 2, QStringLiteral("Sample HTML5 Video (1)_(360p).mp4"), "progressive-360.mp4"},
        {5, {true}, 4, QStringLiteral("Sample HTML5 Video (1)_(720p).mp4"), "progressive-720.mp4"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.format);
        for (const QString &file : savedFiles())
            QFile::remove(saved(file));
        service.clearRequests();
        window.stepDownAnswers = c.answers;

        EXPECT_EQ(run(ytDlp, ProgressivePage, c.format), JobOutcome::Completed);
        EXPECT_EQ(window.format, c.endFormat);
        EXPECT_EQ(savedFiles(), QStringList{c.name});
        EXPECT_EQ(contentsOf(saved(c.name)), media(c.media));
        EXPECT_TRUE(
            window.calls.contains(QStringLiteral("status panel Status: Download is complete")));

        // One GET of the file, by the program's own client with the format's headers.
        const auto gets = requestsFor("/media/");
        ASSERT_EQ(gets.size(), 1u);
        EXPECT_EQ(gets[0].path, QByteArray("/media/") + c.media);
        EXPECT_EQ(gets[0].header("Accept-Encoding"), "identity");
        EXPECT_EQ(gets[0].header("Sec-Fetch-Mode"), "navigate");
        EXPECT_EQ(gets[0].header("Referer"), ProgressivePage);
        EXPECT_TRUE(gets[0].header("User-Agent").contains("Chrome"));
        EXPECT_TRUE(gets[0].header("Cookie").isEmpty());
    }
}

// The own transfer's partial file and resume serve the extractor's formats too.
TEST_F(ExtractorRoute, AProgressiveDownloadStoppedHalfWayResumesWhereItStopped)
{
    ASSERT_FALSE(ytDlp.isEmpty());
    stopOnceTransferring();
    EXPECT_EQ(run(ytDlp, ProgressivePage, 4), JobOutcome::Stopped);
    ASSERT_TRUE(stopped.isValid());
    const QString name = QStringLiteral("Sample HTML5 Video (1)_(720p).mp4");
    EXPECT_NE(contentsOf(saved(name)), media("progressive-720.mp4"));

    window.onMessagePass = nullptr;
    service.clearRequests();
    EXPECT_EQ(run(ytDlp, ProgressivePage, 4), JobOutcome::Completed);
    EXPECT_EQ(savedFiles(), QStringList{name});
    EXPECT_EQ(contentsOf(saved(name)), media("progressive-720.mp4"));
    // Only what is missing is asked, over one connection or more.
    const auto gets = requestsFor("/media/");
    ASSERT_GE(gets.size(), 1u);
    for (const auto &get : gets) {
        EXPECT_TRUE(get.header("Range").startsWith("bytes="));
        EXPECT_FALSE(get.header("Range").startsWith("bytes=0-"));
        EXPECT_FALSE(get.header("If-Range").isEmpty());
    }
}

TEST_F(ExtractorRoute, ARowTheVideoLacksAndANoEndTheJobAsOnTheBuiltInRoute)
{
    ASSERT_FALSE(ytDlp.isEmpty());
    window.stepDownAnswers = {false};
    EXPECT_EQ(run(ytDlp, ProgressivePage, 5), JobOutcome::Failed);
    EXPECT_EQ(window.format, 5);
    expectNoVideo();
    EXPECT_TRUE(window.calls.contains(
        QStringLiteral("question Unable to download FullHD (1080p) version of this video.\n\r"
                       "Should I try to download the HD (720p) version? -> No")))
        << window.calls.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(savedFiles().isEmpty());
    EXPECT_TRUE(requestsFor("/media/").empty());
}

TEST_F(ExtractorRoute, TheHlsPageIsFetchedByTheExtractorWithProgress)
{
    ASSERT_FALSE(ytDlp.isEmpty());
    EXPECT_EQ(run(ytDlp, HlsPage, 2), JobOutcome::Completed);
    const QString name = QStringLiteral("Sample HLS Video (1).mp4");
    EXPECT_EQ(savedFiles(), QStringList{name});
    const QByteArray file = contentsOf(saved(name));
    ASSERT_GT(file.size(), 1000);
    EXPECT_EQ(file.mid(4, 4), "ftyp"); // an MP4, not the MPEG-TS fragments

    // The segments came through the extractor, not the program's client.
    const auto segments = requestsFor("/media/hls/segment");
    EXPECT_EQ(segments.size(), 4u);
    for (const ServiceRequest &segment : segments)
        EXPECT_TRUE(segment.header("Content-Type").isEmpty());

    // The transfer's texts, bar and launcher progress.
    const QStringList &calls = window.calls;
    const auto progressLines = calls.filter(
        QRegularExpression(QStringLiteral("^status line Downloading\\.\\.\\. [0-9.]+ [KM]?B of "
                                          "[0-9.]+ [KM]?B - \"Sample HLS Video \\(1\\)\\.mp4\"$")));
    EXPECT_FALSE(progressLines.isEmpty()) << calls.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(calls.contains(QStringLiteral("status panel Status: Downloading...")));
    EXPECT_FALSE(calls.filter(QRegularExpression(QStringLiteral("^bar maximum [1-9]"))).isEmpty());
    EXPECT_FALSE(calls
                     .filter(QRegularExpression(
                         QStringLiteral("^ShowTransferProgress [1-9][0-9]* of [1-9]")))
                     .isEmpty());
    EXPECT_TRUE(calls.contains(QStringLiteral("status panel Status: Download is complete")));
}

// A yt-dlp configuration of the user's that would only simulate, save
// elsewhere and pick the worst format changes nothing the route does.
TEST_F(ExtractorRoute, TheUsersOwnExtractorConfigurationIsLeftOut)
{
    ASSERT_FALSE(ytDlp.isEmpty());
    const QString config = scratch.filePath(QStringLiteral("config"));
    ASSERT_TRUE(QDir().mkpath(config + QStringLiteral("/yt-dlp")));
    QFile file(config + QStringLiteral("/yt-dlp/config"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("--simulate\n-o /nonexistent/%(id)s.%(ext)s\n-f worst\n--quiet\n");
    file.close();
    const QByteArray home = qgetenv("XDG_CONFIG_HOME");
    ::setenv("XDG_CONFIG_HOME", config.toLocal8Bit().constData(), 1);

    const auto hls = run(ytDlp, HlsPage, 2);
    const QStringList afterHls = savedFiles();
    const auto progressive = run(ytDlp, ProgressivePage, 4);
    if (home.isNull())
        ::unsetenv("XDG_CONFIG_HOME");
    else
        ::setenv("XDG_CONFIG_HOME", home.constData(), 1);

    EXPECT_EQ(hls, JobOutcome::Completed);
    EXPECT_EQ(afterHls, QStringList{QStringLiteral("Sample HLS Video (1).mp4")});
    EXPECT_EQ(progressive, JobOutcome::Completed);
    const QString name = QStringLiteral("Sample HTML5 Video (1)_(720p).mp4");
    EXPECT_EQ(contentsOf(saved(name)), media("progressive-720.mp4"));
}

TEST_F(ExtractorRoute, AStopEndsTheExtractorsDownloadWithinASecondAndLeavesNoProcess)
{
    ASSERT_FALSE(ytDlp.isEmpty());
    stopOnceTransferring();
    const std::optional<JobOutcome> outcome = run(ytDlp, HlsPage, 2);
    ASSERT_TRUE(stopped.isValid()) << window.calls.join(QLatin1Char('\n')).toStdString();
    EXPECT_LT(stopped.elapsed(), 1000);
    EXPECT_EQ(outcome, JobOutcome::Stopped);
    while (!livingProcessesMentioning(saveDir.path()).isEmpty() && stopped.elapsed() < 1000)
        QThread::msleep(10);
    EXPECT_TRUE(livingProcessesMentioning(saveDir.path()).isEmpty())
        << livingProcessesMentioning(saveDir.path()).join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(QFileInfo::exists(saved(QStringLiteral("Sample HLS Video (1).mp4"))));
    EXPECT_TRUE(window.calls.contains(
        QStringLiteral("status panel Status: Download is stopped by the user")));
    // A Stop is the user's: no failure is shown for it.
    EXPECT_TRUE(window.calls.filter(QStringLiteral("error box")).isEmpty());
}

TEST_F(ExtractorRoute, AStopEndsTheStandInAndTheChildItStartedWithinASecond)
{
    stopOnceTransferring();
    EXPECT_EQ(run(StandIn, "fragments", 2), JobOutcome::Stopped);
    ASSERT_TRUE(stopped.isValid()) << window.calls.join(QLatin1Char('\n')).toStdString();
    EXPECT_LT(stopped.elapsed(), 1000);
    const QStringList pids = standInPids();
    ASSERT_EQ(pids.size(), 3) << pids.join(QLatin1Char(' ')).toStdString(); // -J, download, child
    EXPECT_FALSE(anyLivesASecondAfter(pids, stopped)) << pids.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(savedFiles().isEmpty()) << savedFiles().join(QLatin1Char(' ')).toStdString();
}

// The user waits for the extractor: at the lowest priority a busy machine
// starved its lookup past the time limit.
TEST_F(ExtractorRoute, TheExtractorRunsAtTheProgramsOwnPriority)
{
    const QString niceFile = scratch.filePath(QStringLiteral("nice"));
    ::setenv("STAND_IN_NICE", niceFile.toLocal8Bit().constData(), 1);
    EXPECT_EQ(run(StandIn, "exit-2", 2), JobOutcome::Failed);
    ::unsetenv("STAND_IN_NICE");
    errno = 0;
    const int own = ::getpriority(PRIO_PROCESS, 0);
    ASSERT_EQ(errno, 0);
    EXPECT_EQ(contentsOf(niceFile), QByteArray::number(own));
}

TEST_F(ExtractorRoute, ExtractorFailuresEndInNoVideoWithTheirReason)
{
    const struct
    {
        const char *link;
        QString reason;
    } cases[] = {
        {"exit-2", QStringLiteral("[generic] Unable to download webpage: stand-in failure")},
        {"silent-exit-3", QStringLiteral("The extractor ended with exit code 3.")},
        {"garbage", QStringLiteral("The extractor's answer is not readable.")},
        {"huge", QStringLiteral("The extractor's answer is too long.")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.link);
        window.calls.clear();
        QFile::remove(pidsFile());
        QElapsedTimer took;
        took.start();
        EXPECT_EQ(run(StandIn, c.link, 2), JobOutcome::Failed);
        EXPECT_LT(took.elapsed(), 20000);
        expectNoVideo(c.reason);
        QElapsedTimer ended;
        ended.start();
        EXPECT_FALSE(anyLivesASecondAfter(standInPids(), ended));
    }
    EXPECT_TRUE(savedFiles().isEmpty());

    // A program that cannot be started.
    window.calls.clear();
    EXPECT_EQ(run(scratch.filePath(QStringLiteral("no-such-extractor")), "exit-1", 2),
              JobOutcome::Failed);
    expectNoVideo(QStringLiteral("The extractor could not be started."));
}

TEST_F(ExtractorRoute, TheRouteIsTakenOnlyForLinksTheBuiltInLookupDoesNotKnow)
{
    const struct
    {
        QString program;
        const char *link;
        int format;
        std::deque<bool> answers;
        bool extractorRan;
    } cases[] = {
        // Route off: exactly today's failure.
        {QString(), "exit-2", 2, {}, false},
        {ChooseExtractorProgram(QStringLiteral("none")), "exit-2", 2, {}, false},
        // Not a link of the service: the extractor is asked.
        {StandIn, "exit-2", 2, {}, true},
        // The built-in route found the stream: never the extractor.
        {StandIn, "http://www.youtube.com/watch?v=vidlark0002", 2, {}, false},
        // The user declined a step-down on the built-in route.
        {StandIn, "http://www.youtube.com/watch?v=vidlark0002", 4, {false}, false},
        // The watch page failed (an unknown video answers 404).
        {StandIn, "http://www.youtube.com/watch?v=unknown0001", 2, {}, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.link);
        QFile::remove(pidsFile());
        window.stepDownAnswers = c.answers;
        run(c.program, c.link, c.format);
        EXPECT_EQ(!standInPids().isEmpty(), c.extractorRan);
    }
}

// What a page says of its video reaches no name but by our naming rules, and
// the extractor writes only a fixed name in a folder of ours.
TEST_F(ExtractorRoute, HostileFieldsOfTheExtractorTouchNothingOfTheUsers)
{
    const QString info = scratch.filePath(QStringLiteral("info.json"));
    const QString args = scratch.filePath(QStringLiteral("args"));
    ::setenv("STAND_IN_INFO", info.toLocal8Bit().constData(), 1);
    ::setenv("STAND_IN_ARGS", args.toLocal8Bit().constData(), 1);
    const QString longTitle(250, QLatin1Char('x'));
    const struct
    {
        const char *name;
        int row;
        QString title;
        const char *ext, *id, *height;
        QString saved; // empty: no video
    } cases[] = {
        {"an extension of no container", 0, QStringLiteral("Song.mp4"), "part", "hls", "240",
         QStringLiteral("Song.mp4.flv")},
        {"a title the extractor would expand", 0, QStringLiteral("${HOME} %(id)s"), "mp4", "hls",
         "240", QStringLiteral("${HOME} %(id)s.mp4")},
        {"a title as long as names go", 0, longTitle, "mp4", "hls", "240",
         longTitle + QStringLiteral(".mp4")},
        {"no height known: none claimed", 5, QStringLiteral("Clip"), "mp4", "hls", "null",
         QStringLiteral("Clip.mp4")},
        {"an id the extractor reads as its own selection",
         0,
         QStringLiteral("Clip"),
         "mp4",
         "b",
         "240",
         {}},
    };
    const auto describe = [&](const QString &title, const char *id, const char *ext,
                              const char *height) {
        QFile json(info);
        ASSERT_TRUE(json.open(QIODevice::WriteOnly | QIODevice::Truncate));
        json.write(QStringLiteral(R"({"title": "%1", "formats": [{"format_id": "%2", "ext": "%3",
            "url": "http://127.0.0.1:9/x.m3u8", "protocol": "m3u8_native", "height": %4}]})")
                       .arg(title, QLatin1String(id), QLatin1String(ext), QLatin1String(height))
                       .toUtf8());
    };
    QFile users(saved(QStringLiteral("Song.mp4.part")));
    ASSERT_TRUE(users.open(QIODevice::WriteOnly));
    users.write("another download's bytes");
    users.close();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        describe(c.title, c.id, c.ext, c.height);
        QFile::remove(args);
        const std::optional<JobOutcome> outcome = run(StandIn, "info", c.row);
        EXPECT_EQ(outcome, c.saved.isEmpty() ? JobOutcome::Failed : JobOutcome::Completed);
        if (!c.saved.isEmpty()) {
            EXPECT_EQ(contentsOf(saved(c.saved)), "stand-in video");
            const QStringList given = QString::fromUtf8(contentsOf(args)).split(QLatin1Char('\n'));
            EXPECT_EQ(given.value(given.indexOf(QStringLiteral("-o")) + 1),
                      QStringLiteral("video.%(ext)s"));
            EXPECT_TRUE(given.contains(QStringLiteral("--abort-on-unavailable-fragments")));
            // Four fragments at once; the lookup's answer instead of the page.
            EXPECT_EQ(given.value(given.indexOf(QStringLiteral("--concurrent-fragments")) + 1),
                      QStringLiteral("4"));
            EXPECT_EQ(given.value(given.indexOf(QStringLiteral("--load-info-json")) + 1),
                      QStringLiteral("info.json"));
            EXPECT_EQ(given.count(QStringLiteral("--")), 1); // the lookup's, before its link
            QFile::remove(saved(c.saved));
        }
        EXPECT_EQ(
            QDir(saveDir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList{QStringLiteral("Song.mp4.part")});
        EXPECT_EQ(contentsOf(saved(QStringLiteral("Song.mp4.part"))), "another download's bytes");
    }

    // The same lock as the own transfer; afresh, without what an earlier run left.
    describe(QStringLiteral("Clip"), "hls", "mp4", "240");
    DownloadLock other(PartialFile::partPath(saved(QStringLiteral("Clip.mp4"))));
    ASSERT_EQ(other.take(), DownloadLock::Taken::Locked);
    EXPECT_EQ(run(StandIn, "info", 0), JobOutcome::Failed);
    EXPECT_TRUE(
        window.calls.contains(QStringLiteral("error box Another download is saving this video.")));
    other.release();
    const QString staging = ExtractorDownload::StagingFolder(saved(QStringLiteral("Clip.mp4")));
    ASSERT_TRUE(QDir().mkpath(staging));
    QFile left(staging + QStringLiteral("/video.mp4.part"));
    ASSERT_TRUE(left.open(QIODevice::WriteOnly));
    left.close();
    TransferSettings afresh = session.transfer().settings();
    afresh.resume = false;
    session.transfer().setSettings(afresh);
    QFile::remove(args);
    EXPECT_EQ(run(StandIn, "info", 0), JobOutcome::Completed);
    const QStringList given = QString::fromUtf8(contentsOf(args)).split(QLatin1Char('\n'));
    EXPECT_TRUE(given.contains(QStringLiteral("--no-continue")));
    EXPECT_TRUE(given.contains(QStringLiteral("cwd: info.json"))); // only the lookup's answer
    ::unsetenv("STAND_IN_INFO");
    ::unsetenv("STAND_IN_ARGS");
}

// A segment the server lacks fails the download: no file with a gap is complete.
TEST_F(ExtractorRoute, AMissingFragmentFailsTheExtractorsDownload)
{
    ASSERT_FALSE(ytDlp.isEmpty());
    EXPECT_EQ(run(ytDlp, "http://media.sample.test/pages/hls-gap", 2), JobOutcome::Failed);
    // The box says yt-dlp's own reason, and how to update it when it is old.
    const QStringList boxes = window.calls.filter(QStringLiteral("error box "));
    ASSERT_EQ(boxes.size(), 1) << window.calls.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(boxes[0].startsWith(
        QStringLiteral("error box Unable to download this video.\n\rfragment ")))
        << boxes[0].toStdString();
    const QString version = ExtractorVersion(ytDlp);
    EXPECT_EQ(boxes[0].endsWith(JobReporter::staleExtractorText(version)),
              ExtractorIsStale(version, QDate::currentDate()))
        << boxes[0].toStdString();
    EXPECT_TRUE(window.statusLine.startsWith(
        QStringLiteral("Error: Unable to download this video. fragment ")));
    EXPECT_FALSE(QFileInfo::exists(saved(QStringLiteral("Sample HLS Video (1).mp4"))));
}

// The extractor's common reasons in the job's words, its own line behind
// them; an old one adds how to update it.
TEST_F(ExtractorRoute, ACommonReasonIsSaidInPlainWordsAndAnOldExtractorSaysHowToUpdate)
{
    const QString line = QStringLiteral("[youtube] Xq3kZ1bL0aA: Sign in to confirm you\u2019re not "
                                        "a bot. Use --cookies-from-browser or --cookies for the "
                                        "authentication.");
    ::setenv("STAND_IN_ERROR", line.toUtf8().constData(), 1);
    const QString words = JobReporter::extractorFailureText(ExtractorFailureKind::SignIn);
    const struct
    {
        const char *version;
        bool stale;
    } cases[] = {{"2023.03.04", true}, {nullptr, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.version ? c.version : "no version");
        if (c.version)
            ::setenv("STAND_IN_VERSION", c.version, 1);
        else
            ::unsetenv("STAND_IN_VERSION");
        window.calls.clear();
        EXPECT_EQ(run(StandIn, "say-error", 2), JobOutcome::Failed);
        QString box = QStringLiteral("error box No video to download.\n\r") + words;
        if (c.stale)
            box += QStringLiteral("\n\r") +
                   JobReporter::staleExtractorText(QStringLiteral("2023.03.04"));
        box += QStringLiteral(" | details: yt-dlp said: ") + line;
        EXPECT_TRUE(window.calls.contains(box))
            << window.calls.join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(window.statusLine, QStringLiteral("Error. No video to download. ") + words);
    }
    ::unsetenv("STAND_IN_ERROR");
    ::unsetenv("STAND_IN_VERSION");
}

// The browser's cookies are asked of the extractor alone, in every run of a
// job, and only when the settings name a browser.
TEST_F(ExtractorRoute, CookiesFromABrowserAreAskedOfTheExtractorOnly)
{
    const QString info = scratch.filePath(QStringLiteral("info.json"));
    const QString args = scratch.filePath(QStringLiteral("args"));
    QFile json(info);
    ASSERT_TRUE(json.open(QIODevice::WriteOnly));
    json.write(R"({"title": "Clip", "formats": [{"format_id": "hls", "ext": "mp4",
        "url": "http://127.0.0.1:9/x.m3u8", "protocol": "m3u8_native", "height": 240}]})");
    json.close();
    ::setenv("STAND_IN_INFO", info.toLocal8Bit().constData(), 1);
    ::setenv("STAND_IN_ARGS", args.toLocal8Bit().constData(), 1);
    JobSettings settings;
    settings.cookiesFromBrowser = QStringLiteral("firefox:Work");
    session.apply(settings);
    EXPECT_EQ(run(StandIn, "info", 0), JobOutcome::Completed);
    const QString given = QString::fromUtf8(contentsOf(args));
    // The lookup's run and the download's.
    EXPECT_EQ(given.count(QStringLiteral("--cookies-from-browser\nfirefox:Work\n")), 2)
        << given.toStdString();

    // Off by default.
    QFile::remove(args);
    for (const QString &file : savedFiles())
        QFile::remove(saved(file));
    session.apply(JobSettings());
    EXPECT_EQ(run(StandIn, "info", 0), JobOutcome::Completed);
    EXPECT_FALSE(QString::fromUtf8(contentsOf(args)).contains(QStringLiteral("--cookies")));
    ::unsetenv("STAND_IN_INFO");
    ::unsetenv("STAND_IN_ARGS");
}

// Update, then a download: the managed copy runs, as the precedence says,
// unless the user named another program.
TEST_F(ExtractorRoute, AnUpdatedManagedCopyRunsTheNextDownload)
{
    const QString managed = scratch.filePath(QStringLiteral("data/vidlark/yt-dlp"));
    JobSettings settings;
    settings.managedExtractor = managed;
    settings.extractor = ChooseExtractorProgram(std::nullopt, managed);
    settings.extractorReleases = service.baseUrl() + QStringLiteral("/releases/2099.01.01");
    session.apply(settings);
    EXPECT_EQ(session.extractor(), ytDlp); // none managed yet: PATH's

    EXPECT_EQ(session.controller().UpdateExtractorClick(), JobOutcome::Completed);
    EXPECT_EQ(session.extractor(), managed);
    EXPECT_EQ(window.statusLine,
              QStringLiteral("The extractor is updated: yt-dlp 2099.01.01 (none before)"));
    EXPECT_EQ(JobReporter::extractorLine(session.controller().DescribeExtractor()),
              QStringLiteral("yt-dlp 2099.01.01 (") + managed + QLatin1Char(')'));

    window.link = QString::fromLatin1(ProgressivePage);
    window.format = 2;
    service.clearRequests();
    EXPECT_EQ(session.controller().StartButtonClick(), JobOutcome::Completed);
    // The stand-in release named the video after itself; it read no page.
    const QString name = QStringLiteral("Release Stand-in 2099.01.01_(360p).mp4");
    EXPECT_EQ(savedFiles(), QStringList{name});
    EXPECT_EQ(contentsOf(saved(name)), media("progressive-360.mp4"));
    EXPECT_TRUE(requestsFor("/pages/").empty());

    // A program the user named keeps running after an update.
    settings.extractor = StandIn;
    settings.extractorNamed = true;
    session.apply(settings);
    EXPECT_EQ(session.controller().UpdateExtractorClick(), JobOutcome::Completed);
    EXPECT_EQ(session.extractor(), StandIn);
    EXPECT_TRUE(window.statusLine.startsWith(QStringLiteral("The extractor is up to date")));
}
