// How a job ends: a Stop, a close or an escaping error in each phase, and
// what the caller learns of it.
#include "JobControllerFixture.h"

#include <stdexcept>

TEST_F(JobControllerTest, StopInEachPhase)
{
    struct Case
    {
        const char *phase;
        bool transferResult; // what the transfer returns after the stop
        bool convert;
        const char *errorBox; // empty: none
        const char *finalStatus;
    };
    const Case cases[]{
        {"resolving", true, false, "", "Download is stopped by the user"},
        {"transfer with length", true, false, "", "Download is stopped by the user"},
        {"transfer chunked", false, false, "Unable to download this video.",
         "Download is stopped by the user"},
        // A stopped transfer that counts as done still gets converted.
        {"transfer then convert", true, true, "", "Download is complete: Title.avi"},
        {"converting", true, true, "", "Download is stopped by the user"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.phase);
        window.calls.clear();
        window.avi = c.convert;
        transfer.result = c.transferResult;
        resolver.during = transfer.during = conversion.during = nullptr;
        const QString phase = QString::fromLatin1(c.phase);
        auto stopTwice = [this] {
            pressStop();
            pressStop(); // a second Stop changes nothing
            EXPECT_EQ(state.DownloadState, dsStopRequested);
        };
        if (phase == QStringLiteral("resolving"))
            resolver.during = stopTwice;
        else if (phase == QStringLiteral("converting"))
            conversion.during = stopTwice;
        else
            transfer.during = stopTwice;
        conversion.runs = 0;
        transfer.url.clear();

        job.StartButtonClick();

        EXPECT_EQ(window.statusLine, QString::fromLatin1(c.finalStatus));
        const bool errorShown = !QString::fromLatin1(c.errorBox).isEmpty();
        EXPECT_EQ(
            window.calls.contains(QStringLiteral("error box ") + QString::fromLatin1(c.errorBox)),
            errorShown);
        EXPECT_EQ(window.calls.filter(QStringLiteral("error box")).size(), errorShown ? 1 : 0);
        EXPECT_EQ(transfer.url.isEmpty(), phase == QStringLiteral("resolving"));
        EXPECT_EQ(state.DownloadState, dsIdle);
        EXPECT_EQ(window.startCaption, QStringLiteral("Download"));
    }
}

TEST_F(JobControllerTest, StopArrivesThroughTheMessagePass)
{
    // The Stop click is handled inside the transfer's message pass, like a real click.
    onNextMessagePass([this] {}); // resolution's pass
    window.onMessagePass = [this] {
        if (!transfer.url.isEmpty())
            pressStop();
    };
    job.StartButtonClick();
    EXPECT_EQ(window.statusLine, QStringLiteral("Download is stopped by the user"));
}

TEST_F(JobControllerTest, CloseInEachPhase)
{
    struct Case
    {
        const char *phase;
        bool streamFound;
        const char *errorBox;
    };
    const Case cases[]{
        {"resolving, no stream", false, "No video to download."},
        {"resolving, stream found", true, "Unable to download this video."},
        {"transfer", true, "Unable to download this video."},
        {"converting", true, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.phase);
        const QString phase = QString::fromLatin1(c.phase);
        window.calls.clear();
        state.DownloadState = dsIdle;
        window.avi = true;
        resolver.streamUrl =
            c.streamFound ? QStringLiteral("http://streams.test/v.flv") : QString();
        resolver.during = transfer.during = conversion.during = nullptr;
        conversion.runs = 0;
        // A closed window cuts the transfer, which then reports failure.
        transfer.result =
            !phase.startsWith(QStringLiteral("resolving")) && phase != QStringLiteral("transfer");
        auto close = [this] {
            closeWindow();
            pressStop(); // the button does nothing once the window is closing
            EXPECT_EQ(state.DownloadState, dsClosing);
        };
        if (phase.startsWith(QStringLiteral("resolving")))
            resolver.during = close;
        else if (phase == QStringLiteral("transfer"))
            transfer.during = close;
        else
            conversion.during = close;

        job.StartButtonClick();

        const QString errorBox = QString::fromLatin1(c.errorBox);
        EXPECT_EQ(window.calls.filter(QStringLiteral("error box")),
                  errorBox.isEmpty() ? QStringList()
                                     : QStringList{QStringLiteral("error box ") + errorBox});
        EXPECT_EQ(window.statusLine, QStringLiteral("Download is stopped by the user"));
        EXPECT_EQ(conversion.runs, phase == QStringLiteral("converting") ? 1 : 0);
        EXPECT_EQ(state.DownloadState, dsIdle);
    }
}

TEST_F(JobControllerTest, ClosedWindowNeverConvertsEvenAfterADoneTransfer)
{
    window.avi = true;
    transfer.during = [this] { closeWindow(); };
    job.StartButtonClick();
    EXPECT_EQ(conversion.runs, 0);
    EXPECT_EQ(window.statusLine, QStringLiteral("Download is stopped by the user"));
}

TEST_F(JobControllerTest, EscapingErrorRunsEndReportThenReachesCaller)
{
    struct Case
    {
        const char *phase;
        const char *finalStatus;
        const char *box;
    };
    const Case cases[]{
        // While downloading the report says the download failed ...
        {"transfer", "Error: Unable to download this video.",
         "error box Unable to download this video."},
        // ... while converting it reports the download as complete, under the
        // name it has: the converted file was never made.
        {"converting", "Download is complete: Title.flv", "information box "},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.phase);
        const QString phase = QString::fromLatin1(c.phase);
        window.calls.clear();
        window.avi = true;
        transfer.during = conversion.during = nullptr;
        auto fail = [] { throw std::runtime_error("disk on fire"); };
        if (phase == QStringLiteral("transfer"))
            transfer.during = fail;
        else
            conversion.during = fail;

        EXPECT_THROW(
            {
                try {
                    job.StartButtonClick();
                } catch (const std::runtime_error &error) {
                    EXPECT_STREQ(error.what(), "disk on fire");
                    throw;
                }
            },
            std::runtime_error);
        EXPECT_EQ(window.statusLine, QString::fromLatin1(c.finalStatus));
        const QStringList boxes = window.calls.filter(QString::fromLatin1(c.box));
        ASSERT_EQ(boxes.size(), 1);
        if (phase == QStringLiteral("converting")) {
            EXPECT_TRUE(boxes.first().endsWith(QStringLiteral("Title.flv\"")));
        }
        EXPECT_EQ(window.calls.last(), QStringLiteral("EndTaskbarProgress"));
        EXPECT_EQ(state.DownloadState, dsIdle);
        EXPECT_TRUE(window.inputsEnabled);
    }
}

TEST_F(JobControllerTest, ModalBoxesLetTheStopThroughWhileAJobWindsDown)
{
    // A Stop click while the failure's error box is open changes nothing more.
    resolver.streamUrl.clear();
    window.onModalBox = [this] { pressStop(); };
    job.StartButtonClick();
    EXPECT_EQ(window.statusLine, QStringLiteral("Download is stopped by the user"));
    EXPECT_EQ(state.DownloadState, dsIdle);
}

TEST_F(JobControllerTest, TheCallerLearnsHowTheJobEnded)
{
    struct Case
    {
        const char *name;
        std::function<void()> arrange;
        JobOutcome outcome;
    };
    const Case cases[]{
        {"complete", [] {}, JobOutcome::Completed},
        {"folder missing", [this] { window.folder.clear(); }, JobOutcome::Failed},
        {"no video", [this] { resolver.streamUrl.clear(); }, JobOutcome::Failed},
        {"transfer failed", [this] { transfer.result = false; }, JobOutcome::Failed},
        // The download is saved; only its conversion is missing.
        {"converter missing",
         [this] {
             window.avi = true;
             conversion.outcome = ConversionOutcome::ConverterMissing;
         },
         JobOutcome::ConversionFailed},
        // The converter's own failure still ends with the completion box,
        // and the caller learns that the conversion failed.
        {"converter failed",
         [this] {
             window.avi = true;
             conversion.outcome = ConversionOutcome::ConverterFailed;
         },
         JobOutcome::ConversionFailed},
        {"file in use", [this] { transfer.fileInUse = true; }, JobOutcome::Failed},
        {"stopped while resolving", [this] { resolver.during = [this] { pressStop(); }; },
         JobOutcome::Stopped},
        // A chunked transfer cut by the Stop fails, yet the user stopped i
        {"stopped, then the transfer failed",
         [this] {
             transfer.result = false;
             transfer.during = [this] { pressStop(); };
         },
         JobOutcome::Stopped},
        {"closed, then no video",
         [this] {
             resolver.streamUrl.clear();
             resolver.during = [this] { closeWindow(); };
         },
         JobOutcome::Stopped},
        {"stopped while converting",
         [this] {
             window.avi = true;
             conversion.during = [this] { pressStop(); };
         },
         JobOutcome::Stopped},
        // A stopped transfer that counts as done and gets converted is complete.
        {"stopped transfer converted",
         [this] {
             window.avi = true;
             transfer.during = [this] { pressStop(); };
         },
         JobOutcome::Completed},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        window = RecordingJobWindow();
        window.folder = saveDir.path();
        resolver.streamUrl = QStringLiteral("http://streams.test/video.flv");
        resolver.during = transfer.during = conversion.during = nullptr;
        transfer.result = true;
        transfer.fileInUse = false;
        conversion.outcome = ConversionOutcome::Finished;
        state.DownloadState = dsIdle;
        c.arrange();
        EXPECT_EQ(job.StartButtonClick(), std::optional<JobOutcome>(c.outcome));
        EXPECT_EQ(state.DownloadState, dsIdle);
    }
}

TEST_F(JobControllerTest, AStopClickOnlyAsksTheRunningJobAndReportsNothing)
{
    std::optional<std::optional<JobOutcome>> clickDuringJob;
    resolver.during = [this, &clickDuringJob] { clickDuringJob = job.StartButtonClick(); };
    EXPECT_EQ(job.StartButtonClick(), std::optional<JobOutcome>(JobOutcome::Stopped));
    ASSERT_TRUE(clickDuringJob.has_value());
    EXPECT_FALSE(clickDuringJob->has_value());
    state.DownloadState = dsClosing;
    EXPECT_FALSE(job.StartButtonClick().has_value());
}

namespace {

TEST_F(JobControllerTest, AFileAnotherProgramIsSavingIsReportedAsSuch)
{
    transfer.fileInUse = true;
    EXPECT_EQ(job.StartButtonClick(), std::optional<JobOutcome>(JobOutcome::Failed));
    const QStringList expected = {
        QStringLiteral("error box Another download is saving this video."),
        QStringLiteral("status line Error: Another download is saving \"Title.flv\""),
        QStringLiteral("status panel Status: Error"),
    };
    const qsizetype box = window.calls.indexOf(expected.first());
    ASSERT_GE(box, 0) << window.calls.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(window.calls.mid(box, 3), expected);
    // Not the general failure box on top of it; the job then winds down as after any failure.
    EXPECT_FALSE(window.calls.contains(QStringLiteral("error box Unable to download this video.")));
    EXPECT_EQ(window.statusLine, QStringLiteral("Error: Another download is saving \"Title.flv\""));
    EXPECT_EQ(state.DownloadState, dsIdle);
}

} // namespace
