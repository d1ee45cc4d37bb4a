// The extractor's failures in words of ours, and its update as a job of its
// own: the reporter's texts and the controller's moments, headless.
#include "JobControllerFixture.h"
#include "job/JobReporter.h"

#include <gtest/gtest.h>

namespace {

// One row per reason the job says in its own words, from a real yt-dlp line.
struct Reason
{
    const char *line;
    const char *words;
};
const Reason Reasons[] = {
    {"[youtube] Xq3kZ1bL0aA: Sign in to confirm you\u2019re not a bot. Use "
     "--cookies-from-browser or --cookies for the authentication.",
     "The site wants you to sign in, or to show that you are no bot. Sign in to it in your web "
     "browser, then let the extractor use that browser's cookies: CookiesFromBrowser=firefox (or "
     "chromium, chrome, ...) under [Main] in Vidlark.ini, or vidlark-cli --cookies-from-browser "
     "firefox."},
    {"[youtube] Ab3dE6gH9jK: Sign in to confirm your age. This video may be inappropriate for "
     "some users.",
     "The video is age-restricted: the site shows it only to a signed-in adult. Sign in to it in "
     "your web browser, then let the extractor use that browser's cookies (CookiesFromBrowser= "
     "in Vidlark.ini, or vidlark-cli --cookies-from-browser)."},
    {"[youtube] Pr1vAt3v1dE: Private video. Sign in if you've been granted access to this video",
     "The video is private: only the people its owner chose may watch it."},
    {"[youtube] R3m0v3dv1d: Video unavailable. This video has been removed by the uploader",
     "The video is gone: it was removed, or the link is wrong."},
    {"[youtube] G3oBl0ck3d0: Video unavailable. The uploader has not made this video available "
     "in your country",
     "The video is not available in your country."},
    {"[youtube] F0rmatm1ss: Requested format is not available. Use --list-formats for a list of "
     "available formats",
     "The video has no format like the one you chose: choose another one, or \"best "
     "available\"."},
    {"Unsupported URL: https://example.com/nothing-here",
     "The extractor does not know this link: check it, or update the extractor."},
};

ExtractorFailure failure(const QString &line, const QString &version = QStringLiteral("2099.01.01"),
                         bool stale = false)
{
    return {line, version, stale};
}

// The update, scripted: each run lets the window run one message pass, where
// a test may press Stop or close the window.
class FakeUpkeep final : public ExtractorUpkeep
{
public:
    explicit FakeUpkeep(RecordingJobWindow &window)
        : m_window(window)
    {}
    ExtractorUpdateReport report;
    ExtractorInUse inUse;
    std::function<void()> during;
    int runs = 0;
    ExtractorUpdateReport UpdateExtractor() override
    {
        ++runs;
        m_window.processMessages();
        if (during)
            during();
        return report;
    }
    ExtractorInUse DescribeExtractor() override { return inUse; }

private:
    RecordingJobWindow &m_window;
};

class ExtractorUpdateJob : public JobControllerTest
{
protected:
    void SetUp() override
    {
        JobControllerTest::SetUp();
        job.setUpkeep(upkeep);
        upkeep.report.path = QStringLiteral("/home/u/.local/share/vidlark/yt-dlp");
        upkeep.report.releases = QStringLiteral("http://releases.test/latest");
        upkeep.report.oldVersion = QStringLiteral("2025.01.15");
        upkeep.report.newVersion = QStringLiteral("2025.06.30");
    }
    FakeUpkeep upkeep{window};
};

} // namespace

TEST(ExtractorFailureWords, EachCommonReasonIsSaidInOurWordsWithTheExtractorsLineBehind)
{
    for (const Reason &reason : Reasons) {
        SCOPED_TRACE(reason.line);
        ProgramState state;
        state.DownloadState = dsResolving;
        RecordingJobWindow window;
        JobReporter reporter(state, window.roles());
        const QString line = QString::fromUtf8(reason.line);
        const QString words = QString::fromUtf8(reason.words);
        EXPECT_EQ(JobReporter::extractorFailureText(ClassifyExtractorError(line)), words);
        reporter.noVideo(line, failure(line));
        EXPECT_EQ(window.calls,
                  (QStringList{QStringLiteral("error box No video to download.\n\r") + words +
                                   QStringLiteral(" | details: yt-dlp said: ") + line,
                               QStringLiteral("status line Error. No video to download. ") + words,
                               QStringLiteral("status panel Status: Error. ") + words}));
        ASSERT_EQ(window.endings.size(), 1u);
        EXPECT_EQ(window.endings[0].reason, QStringLiteral("No video to download.\n\r") + words);
    }
}

TEST(ExtractorFailureWords, AnotherReasonIsTheExtractorsOwnLineAndAnOldOneSaysHowToUpdate)
{
    const QString line = QStringLiteral("[generic] Unable to download webpage: HTTP Error 500");
    const QString hint = QStringLiteral("yt-dlp 2023.03.04 is more than 90 days old, and sites "
                                        "change often: update it with the Update button "
                                        "(vidlark-cli --update-extractor).");
    EXPECT_EQ(JobReporter::staleExtractorText(QStringLiteral("2023.03.04")), hint);
    const struct
    {
        const char *name;
        ExtractorFailure extractor;
        QString box;
    } cases[] = {
        {"its own line", failure(line), QStringLiteral("error box No video to download.\n\r") + line},
        {"its own line, old",
         failure(line, QStringLiteral("2023.03.04"), true),
         QStringLiteral("error box No video to download.\n\r") + line + QStringLiteral("\n\r") +
             hint},
        {"a reason of ours, old",
         failure(QString::fromUtf8(Reasons[0].line), QStringLiteral("2023.03.04"), true),
         QStringLiteral("error box No video to download.\n\r") +
             QString::fromUtf8(Reasons[0].words) + QStringLiteral("\n\r") + hint +
             QStringLiteral(" | details: yt-dlp said: ") + QString::fromUtf8(Reasons[0].line)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ProgramState state;
        state.DownloadState = dsResolving;
        RecordingJobWindow window;
        JobReporter reporter(state, window.roles());
        reporter.noVideo(c.extractor.line, c.extractor);
        ASSERT_FALSE(window.calls.isEmpty());
        EXPECT_EQ(window.calls[0], c.box);
    }
}

// The extractor's download fails with its reason: the transfer's failure says it.
TEST(ExtractorFailureWords, TheExtractorsDownloadFailsInTheSameWords)
{
    ProgramState state;
    state.DownloadState = dsDownloading;
    RecordingJobWindow window;
    JobReporter reporter(state, window.roles());
    const QString line = QString::fromUtf8(Reasons[0].line);
    const QString words = QString::fromUtf8(Reasons[0].words);
    reporter.extractorFailed(failure(line));
    reporter.transferEnded(TransferResult::Failed);
    EXPECT_EQ(window.calls,
              (QStringList{QStringLiteral("error box Unable to download this video.\n\r") + words +
                               QStringLiteral(" | details: yt-dlp said: ") + line,
                           QStringLiteral("status line Error: Unable to download this video. ") +
                               words,
                           QStringLiteral("status panel Status: Error. ") + words}));
    // Said once: a later failure of the job's has no extractor's reason.
    window.calls.clear();
    reporter.transferFailed();
    EXPECT_EQ(window.calls.first(), QStringLiteral("error box Unable to download this video."));
}

TEST(ExtractorFailureWords, TheExtractorInUseInOneLine)
{
    EXPECT_EQ(JobReporter::extractorLine({QStringLiteral("/usr/bin/yt-dlp"),
                                          QStringLiteral("2023.03.04"), false}),
              QStringLiteral("yt-dlp 2023.03.04 (/usr/bin/yt-dlp)"));
    EXPECT_EQ(JobReporter::extractorLine({QStringLiteral("/opt/x"), QString(), false}),
              QStringLiteral("yt-dlp, version unknown (/opt/x)"));
    EXPECT_EQ(JobReporter::extractorLine({}), QStringLiteral("yt-dlp: none found"));
    EXPECT_EQ(JobReporter::extractorLine({QString(), QString(), true}),
              QStringLiteral("yt-dlp: turned off"));
}

TEST_F(ExtractorUpdateJob, AnUpdateRunsAsAJobWithADownloadsLockAndSaysBothVersions)
{
    upkeep.report.outcome = ExtractorUpdateOutcome::Updated;
    window.onMessagePass = [this] {
        // While it runs: a download's state, its progress is shown, Download is Stop.
        EXPECT_EQ(state.DownloadState, dsDownloading);
        EXPECT_EQ(window.startCaption, QStringLiteral("Stop"));
        EXPECT_FALSE(window.inputsEnabled);
        // A second press of Update does nothing while it runs.
        EXPECT_EQ(job.UpdateExtractorClick(), std::nullopt);
        window.onMessagePass = nullptr;
    };
    EXPECT_EQ(job.UpdateExtractorClick(), JobOutcome::Completed);
    EXPECT_EQ(upkeep.runs, 1);
    QStringList expected{QStringLiteral("status line Updating the extractor..."),
                         QStringLiteral("status panel Status: Updating the extractor..."),
                         QStringLiteral("BeginDownloadProgress"),
                         QStringLiteral("inputs enabled false"),
                         QStringLiteral("button Stop"),
                         QStringLiteral("block 100"),
                         QStringLiteral("timer true"),
                         QStringLiteral("message pass")};
    expected += unlockCalls();
    expected += QStringList{
        QStringLiteral("information box The extractor is updated: yt-dlp 2025.01.15 -> "
                       "2025.06.30\n\rIt is kept in /home/u/.local/share/vidlark/yt-dlp"),
        QStringLiteral("status line The extractor is updated: yt-dlp 2025.01.15 -> 2025.06.30"),
        QStringLiteral("status panel Status: The extractor is updated"),
        QStringLiteral("EndTaskbarProgress")};
    EXPECT_EQ(window.calls, expected);
    EXPECT_EQ(state.DownloadState, dsIdle);
    EXPECT_EQ(state.SaveFileName, QStringLiteral("yt-dlp"));
    // No download's end is told elsewhere.
    EXPECT_TRUE(window.endings.empty());
}

TEST_F(ExtractorUpdateJob, EachEndHasItsTextsAndItsOutcome)
{
    const QString kept = QStringLiteral("\n\rThe copy in /home/u/.local/share/vidlark/yt-dlp "
                                        "stays as it was (yt-dlp 2025.01.15).");
    const struct
    {
        ExtractorUpdateOutcome outcome;
        QString detail;
        JobOutcome ends;
        QString box, line;
    } cases[] = {
        {ExtractorUpdateOutcome::Current, {}, JobOutcome::Completed,
         QStringLiteral("information box The extractor is up to date: yt-dlp 2025.01.15\n\rIt is "
                        "kept in /home/u/.local/share/vidlark/yt-dlp"),
         QStringLiteral("The extractor is up to date: yt-dlp 2025.01.15")},
        {ExtractorUpdateOutcome::ChecksumRefused, QStringLiteral("SHA-256 aa, the list says bb"),
         JobOutcome::Failed,
         QStringLiteral("error box The extractor is not updated: the download does not match its "
                        "checksum in SHA2-256SUMS, so it was refused (SHA-256 aa, the list says "
                        "bb).") +
             kept,
         QStringLiteral("Error: The extractor is not updated (checksum)")},
        {ExtractorUpdateOutcome::NetworkFailed,
         QStringLiteral("http://releases.test/latest/SHA2-256SUMS: Couldn't connect to server"),
         JobOutcome::Failed,
         QStringLiteral("error box The extractor is not updated: the release could not be "
                        "downloaded from http://releases.test/latest "
                        "(http://releases.test/latest/SHA2-256SUMS: Couldn't connect to "
                        "server).") +
             kept,
         QStringLiteral("Error: The extractor is not updated (network)")},
        {ExtractorUpdateOutcome::DiskFailed, QStringLiteral("No space left on device"),
         JobOutcome::Failed,
         QStringLiteral("error box The extractor is not updated: it could not be written to "
                        "/home/u/.local/share/vidlark/yt-dlp (No space left on device).") +
             kept,
         QStringLiteral("Error: The extractor is not updated (disk)")},
        {ExtractorUpdateOutcome::NotRunnable, QStringLiteral("it names no version"),
         JobOutcome::Failed,
         QStringLiteral("error box The extractor is not updated: the downloaded program does not "
                        "run here, so it was refused (it names no version).") +
             kept,
         QStringLiteral("Error: The extractor is not updated (it does not run)")},
        {ExtractorUpdateOutcome::Stopped, {}, JobOutcome::Stopped, {},
         QStringLiteral("Update is stopped by the user")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        window.calls.clear();
        upkeep.report.outcome = c.outcome;
        upkeep.report.detail = c.detail;
        upkeep.report.newVersion = c.outcome == ExtractorUpdateOutcome::Current
                                       ? upkeep.report.oldVersion
                                       : QStringLiteral("2025.06.30");
        EXPECT_EQ(job.UpdateExtractorClick(), c.ends);
        const QStringList boxes = window.calls.filter(QStringLiteral(" box "));
        EXPECT_EQ(boxes, c.box.isEmpty() ? QStringList() : QStringList{c.box});
        EXPECT_EQ(window.statusLine, c.line);
        EXPECT_EQ(state.DownloadState, dsIdle);
        EXPECT_TRUE(window.inputsEnabled);
    }
    // Nothing there before: nothing is kept, and the update says it installed one.
    upkeep.report.oldVersion.clear();
    upkeep.report.outcome = ExtractorUpdateOutcome::NetworkFailed;
    window.calls.clear();
    job.UpdateExtractorClick();
    EXPECT_TRUE(window.calls.filter(QStringLiteral("error box ")).value(0).endsWith(
        QStringLiteral("\n\rNothing was installed.")));
    upkeep.report.outcome = ExtractorUpdateOutcome::Updated;
    job.UpdateExtractorClick();
    EXPECT_EQ(window.statusLine,
              QStringLiteral("The extractor is updated: yt-dlp 2025.06.30 (none before)"));
}

TEST_F(ExtractorUpdateJob, ASettingThatNamesAnotherProgramIsSaid)
{
    upkeep.report.outcome = ExtractorUpdateOutcome::Updated;
    upkeep.report.otherInUse = QStringLiteral("/opt/yt-dlp");
    job.UpdateExtractorClick();
    EXPECT_TRUE(window.calls.filter(QStringLiteral("information box ")).value(0).endsWith(
        QStringLiteral("\n\rJobs still run /opt/yt-dlp, which the settings name (Extractor= or "
                       "--extractor).")));
    upkeep.report.otherInUse.clear();
    upkeep.report.routeOff = true;
    window.calls.clear();
    job.UpdateExtractorClick();
    EXPECT_TRUE(window.calls.filter(QStringLiteral("information box ")).value(0).endsWith(
        QStringLiteral("\n\rJobs run no extractor: the settings turn it off (Extractor=none or "
                       "--extractor none).")));
}

// Stop and a close end the update as they end a download; a failure after a
// Stop is the user's stop.
TEST_F(ExtractorUpdateJob, StopAndCloseEndItLikeADownload)
{
    upkeep.report.outcome = ExtractorUpdateOutcome::NetworkFailed;
    upkeep.during = [this] { pressStop(); };
    EXPECT_EQ(job.UpdateExtractorClick(), JobOutcome::Stopped);
    EXPECT_EQ(window.statusLine, QStringLiteral("Update is stopped by the user"));
    EXPECT_TRUE(window.calls.filter(QStringLiteral(" box ")).isEmpty());
    EXPECT_EQ(state.DownloadState, dsIdle);

    window.calls.clear();
    upkeep.during = [this] { closeWindow(); };
    EXPECT_EQ(job.UpdateExtractorClick(), JobOutcome::Stopped);
    EXPECT_TRUE(window.calls.filter(QStringLiteral(" box ")).isEmpty());
    EXPECT_FALSE(window.calls.contains(QStringLiteral("status line Update is stopped by the user")));
}

TEST_F(ExtractorUpdateJob, NotWhileADownloadRunsAndNothingWithoutUpkeep)
{
    resolver.during = [this] { EXPECT_EQ(job.UpdateExtractorClick(), std::nullopt); };
    job.StartButtonClick();
    EXPECT_EQ(upkeep.runs, 0);

    JobController bare{state, window.roles(), {resolver, transfer, conversion, window}, clock};
    EXPECT_EQ(bare.UpdateExtractorClick(), std::nullopt);
    EXPECT_TRUE(bare.DescribeExtractor().program.isEmpty());
    upkeep.inUse = {QStringLiteral("/usr/bin/yt-dlp"), QStringLiteral("2023.03.04"), false};
    EXPECT_EQ(job.DescribeExtractor().version, QStringLiteral("2023.03.04"));
}

// An error that escapes the update reaches the caller once the window is unlocked.
TEST_F(ExtractorUpdateJob, AnEscapingErrorLeavesTheWindowUnlocked)
{
    upkeep.during = [] { throw std::runtime_error("boom"); };
    EXPECT_THROW(job.UpdateExtractorClick(), std::runtime_error);
    EXPECT_EQ(state.DownloadState, dsIdle);
    EXPECT_TRUE(window.inputsEnabled);
    EXPECT_EQ(window.startCaption, QStringLiteral("Download"));
}
