// The extractor's failures in words of ours, and its update as a job of its
// own: the reporter's texts and the controller's moments, headless.
#include "JobControllerFixture.h"
#include "job/JobReporter.h"

#include <QSet>

#include <gtest/gtest.h>

namespace {

const QString BotLine =
    QStringLiteral("[youtube] Xq3kZ1bL0aA: Sign in to confirm you\u2019re not a bot. Use "
                   "--cookies-from-browser or --cookies for the authentication.");

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

// Each reason of the extractor's (read from its real lines in the service's
// tests) has words of ours; a bot check's name the cookies' setting and option.
TEST(ExtractorFailureWords, EachCommonReasonIsSaidInOurWordsWithTheExtractorsLineBehind)
{
    QStringList texts;
    for (int kind = int(ExtractorFailureKind::SignIn);
         kind <= int(ExtractorFailureKind::UnsupportedLink); ++kind)
        texts << JobReporter::extractorFailureText(ExtractorFailureKind(kind));
    EXPECT_EQ(QSet<QString>(texts.begin(), texts.end()).size(), texts.size());
    EXPECT_FALSE(texts.contains(QString()));
    EXPECT_TRUE(JobReporter::extractorFailureText(ExtractorFailureKind::Other).isEmpty());
    const QString words = texts[0];
    EXPECT_TRUE(words.contains(QStringLiteral("CookiesFromBrowser=")));
    EXPECT_TRUE(words.contains(QStringLiteral("--cookies-from-browser")));

    ProgramState state;
    state.DownloadState = dsResolving;
    RecordingJobWindow window;
    JobReporter reporter(state, window.roles());
    reporter.noVideo(BotLine, failure(BotLine));
    EXPECT_EQ(window.calls,
              (QStringList{QStringLiteral("error box No video to download.\n\r") + words +
                               QStringLiteral(" | details: yt-dlp said: ") + BotLine,
                           QStringLiteral("status line Error. No video to download. ") + words,
                           QStringLiteral("status panel Status: Error. ") + words}));
    ASSERT_EQ(window.endings.size(), 1u);
    EXPECT_EQ(window.endings[0].reason, QStringLiteral("No video to download.\n\r") + words);
}

// An old extractor's failure says how to update it, after the words.
TEST(ExtractorFailureWords, AnOldExtractorSaysHowToUpdate)
{
    ProgramState state;
    state.DownloadState = dsDownloading;
    RecordingJobWindow window;
    JobReporter reporter(state, window.roles());
    const QString line = QStringLiteral("fragment 2 not found, unable to continue");
    reporter.extractorFailed(failure(line, QStringLiteral("2023.03.04"), true));
    reporter.transferEnded(TransferResult::Failed);
    EXPECT_EQ(window.calls.value(0),
              QStringLiteral("error box Unable to download this video.\n\r") + line +
                  QStringLiteral("\n\ryt-dlp 2023.03.04 is more than 90 days old, and sites "
                                 "change often: update it with the Update button (vidlark-cli "
                                 "--update-extractor)."));
    EXPECT_EQ(window.statusLine, QStringLiteral("Error: Unable to download this video. ") + line);
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
    const QString kept = QStringLiteral(".\n\rThe copy in /home/u/.local/share/vidlark/yt-dlp "
                                        "stays as it was (yt-dlp 2025.01.15).");
    const QString notUpdated = QStringLiteral("error box The extractor is not updated: ");
    const struct
    {
        ExtractorUpdateOutcome outcome;
        JobOutcome ends;
        QString box, line;
    } cases[] = {
        {ExtractorUpdateOutcome::Current, JobOutcome::Completed,
         QStringLiteral("information box The extractor is up to date: yt-dlp 2025.01.15\n\rIt is "
                        "kept in /home/u/.local/share/vidlark/yt-dlp"),
         QStringLiteral("The extractor is up to date: yt-dlp 2025.01.15")},
        {ExtractorUpdateOutcome::ChecksumRefused, JobOutcome::Failed,
         notUpdated +
             QStringLiteral("the download does not match its checksum in SHA2-256SUMS, "
                            "so it was refused (why)") +
             kept,
         QStringLiteral("Error: The extractor is not updated (checksum)")},
        {ExtractorUpdateOutcome::NetworkFailed, JobOutcome::Failed,
         notUpdated +
             QStringLiteral("the release could not be downloaded from "
                            "http://releases.test/latest (why)") +
             kept,
         QStringLiteral("Error: The extractor is not updated (network)")},
        {ExtractorUpdateOutcome::DiskFailed, JobOutcome::Failed,
         notUpdated +
             QStringLiteral("it could not be written to "
                            "/home/u/.local/share/vidlark/yt-dlp (why)") +
             kept,
         QStringLiteral("Error: The extractor is not updated (disk)")},
        {ExtractorUpdateOutcome::NotRunnable, JobOutcome::Failed,
         notUpdated +
             QStringLiteral("the downloaded program does not run here, so it was "
                            "refused (why)") +
             kept,
         QStringLiteral("Error: The extractor is not updated (it does not run)")},
        {ExtractorUpdateOutcome::Stopped,
         JobOutcome::Stopped,
         {},
         QStringLiteral("Update is stopped by the user")},
    };
    upkeep.report.detail = QStringLiteral("why");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        window.calls.clear();
        upkeep.report.outcome = c.outcome;
        upkeep.report.newVersion = c.outcome == ExtractorUpdateOutcome::Current
                                       ? upkeep.report.oldVersion
                                       : QStringLiteral("2025.06.30");
        EXPECT_EQ(job.UpdateExtractorClick(), c.ends);
        EXPECT_EQ(window.calls.filter(QStringLiteral(" box ")),
                  c.box.isEmpty() ? QStringList() : QStringList{c.box});
        EXPECT_EQ(window.statusLine, c.line);
        EXPECT_EQ(state.DownloadState, dsIdle);
    }
    // Nothing there before: nothing is kept; a setting that turns the route off is said.
    upkeep.report.oldVersion.clear();
    upkeep.report.outcome = ExtractorUpdateOutcome::NetworkFailed;
    window.calls.clear();
    job.UpdateExtractorClick();
    EXPECT_TRUE(window.calls.filter(QStringLiteral("error box "))
                    .value(0)
                    .endsWith(QStringLiteral("\n\rNothing was installed.")));
    upkeep.report.outcome = ExtractorUpdateOutcome::Updated;
    upkeep.report.routeOff = true;
    job.UpdateExtractorClick();
    EXPECT_EQ(window.statusLine,
              QStringLiteral("The extractor is updated: yt-dlp 2025.06.30 (none before)"));
    EXPECT_TRUE(window.calls.filter(QStringLiteral("information box "))
                    .value(0)
                    .endsWith(QStringLiteral(
                        "\n\rJobs run no extractor: the settings turn it off (Extractor=none or "
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
    EXPECT_FALSE(
        window.calls.contains(QStringLiteral("status line Update is stopped by the user")));
}

TEST_F(ExtractorUpdateJob, NotWhileADownloadRunsAndNothingWithoutUpkeep)
{
    resolver.during = [this] { EXPECT_EQ(job.UpdateExtractorClick(), std::nullopt); };
    job.StartButtonClick();
    EXPECT_EQ(upkeep.runs, 0);

    JobController bare{state, window.roles(), {resolver, transfer, conversion, window}, clock};
    EXPECT_EQ(bare.UpdateExtractorClick(), std::nullopt);
    upkeep.inUse = {QStringLiteral("/usr/bin/yt-dlp"), QStringLiteral("2023.03.04"), false};
    EXPECT_EQ(job.DescribeExtractor().version, QStringLiteral("2023.03.04"));
}
