// The reporter turns the steps' values and the controller's moments into the
// window's calls and texts: one table of values in, calls out.
#include "job/JobReporter.h"

#include "RecordingJobWindow.h"
#include "job/ProgramState.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

const QString Unable = QStringLiteral("Unable to download this video.");

struct Case
{
    const char *name;
    TDownloadState state;
    std::function<void(JobReporter &)> report;
    QStringList calls;
    // What the front end heard of the job's end: outcome and reason; none when empty.
    std::vector<std::pair<JobOutcome, QString>> endings{};
};

QStringList box(const QString &text, const QString &line, const QString &panel)
{
    return {QStringLiteral("error box ") + text, QStringLiteral("status line ") + line,
            QStringLiteral("status panel ") + panel};
}

} // namespace

TEST(JobReporterTest, ValuesBecomeWindowCallsAndTexts)
{
    const Case cases[] = {
        {"a download's body begins: bar, total, texts",
         dsDownloading,
         [](JobReporter &r) { r.transferBegins(5000000); },
         {QStringLiteral("bar position 0"), QStringLiteral("bar maximum 5000000"),
          QStringLiteral("status line Downloading \"Clip.flv\""),
          QStringLiteral("status panel Status: Downloading...")}},
        {"a piece of it: progress, texts, one message pass",
         dsDownloading,
         [](JobReporter &r) {
             r.transferBegins(5000000);
             r.transferProgress(32768);
         },
         {QStringLiteral("bar position 0"), QStringLiteral("bar maximum 5000000"),
          QStringLiteral("status line Downloading \"Clip.flv\""),
          QStringLiteral("status panel Status: Downloading..."),
          QStringLiteral("ShowTransferProgress 32768 of 5000000"),
          QStringLiteral("status line Downloading... 32 KB of 4.77 MB - \"Clip.flv\""),
          QStringLiteral("status panel Status: Downloading..."), QStringLiteral("message pass")}},
        {"an estimate that moves sets the bar's maximum, one that stays does not",
         dsDownloading,
         [](JobReporter &r) {
             r.transferTotalChanges(0);
             r.transferTotalChanges(9000);
         },
         {QStringLiteral("bar maximum 9000")}},
        {"values of other phases leave the window alone",
         dsResolving,
         [](JobReporter &r) {
             r.transferBegins(10);
             r.transferTotalChanges(10);
             r.transferProgress(5);
             r.retryWaits({RetryCause::ConnectionLost, 0, 1, 2, 5});
         },
         {}},
        {"retry waits by their cause",
         dsDownloading,
         [](JobReporter &r) {
             r.retryWaits({RetryCause::ServerError, 503, 4, 2, 5});
             r.retryWaits({RetryCause::ConnectionFailed, 0, 1, 3, 5});
             r.retryWaits({RetryCause::ConnectionLost, 0, 2, 5, 5});
         },
         {QStringLiteral("status line Server error 503, retrying in 4 s (2 of 5)..."),
          QStringLiteral("status panel Status: Retrying..."),
          QStringLiteral("status line Connection failed, retrying in 1 s (3 of 5)..."),
          QStringLiteral("status panel Status: Retrying..."),
          QStringLiteral("status line Connection lost, retrying in 2 s (5 of 5)..."),
          QStringLiteral("status panel Status: Retrying...")}},
        {"the converter's duration, then its progress",
         dsConverting,
         [](JobReporter &r) {
             r.conversionStarts(213, QStringLiteral("00:03:33"));
             r.conversionProgress(50);
         },
         {QStringLiteral("bar maximum 213"), QStringLiteral("ShowConversionProgress 50 of 213"),
          QStringLiteral("status line Converting media file: 00:00:50 of 00:03:33"),
          QStringLiteral("status panel Status: Converting media file...")}},
        {"a converter that cannot start: its box, and the end is told first",
         dsConverting,
         [](JobReporter &r) {
             r.stepFailed(StepFailure::ConverterNotStarted, QStringLiteral("No such file"));
             r.endReport(JobReporter::Ending::Completed, JobOutcome::ConversionFailed);
         },
         {QStringLiteral("command failure box No such file"),
          QStringLiteral("information box Download is complete\n\rCheck \"Clip.flv\""),
          QStringLiteral("status line Download is complete: Clip.flv"),
          QStringLiteral("status panel Status: Download is complete"),
          QStringLiteral("EndTaskbarProgress")},
         {{JobOutcome::ConversionFailed, QStringLiteral("No such file")}}},
        {"a converter that failed, a converted file not put back",
         dsConverting,
         [](JobReporter &r) {
             r.stepFailed(StepFailure::ConversionFailed, {});
             r.stepFailed(StepFailure::ConvertedNotKept, QStringLiteral("/tmp/x/movie.avi"));
         },
         {QStringLiteral("error box Unable to convert this video."),
          QStringLiteral("error box Unable to put the converted video into the Download "
                         "directory.\n\rIt is kept as \"/tmp/x/movie.avi\"")},
         {{JobOutcome::ConversionFailed, QStringLiteral("Unable to convert this video.")}}},
        {"the converter cannot be written",
         dsConverting,
         [](JobReporter &r) { r.converterMissing(); },
         box(QStringLiteral("Can't find ffmpeg.exe"),
             QStringLiteral("Error. Can't find ffmpeg.exe"), QStringLiteral("Status: Error")),
         {{JobOutcome::ConversionFailed, QStringLiteral("Can't find ffmpeg.exe")}}},
        {"no video, with the extractor's reason said and kept",
         dsDownloading,
         [](JobReporter &r) { r.noVideo(QStringLiteral("Private video.")); },
         box(QStringLiteral("No video to download.\n\rPrivate video."),
             QStringLiteral("Error. No video to download. Private video."),
             QStringLiteral("Status: Error. Private video.")),
         {{JobOutcome::Failed, QStringLiteral("No video to download.\n\rPrivate video.")}}},
        {"another program saves the file",
         dsDownloading,
         [](JobReporter &r) { r.transferEnded(TransferResult::FileInUse); },
         box(QStringLiteral("Another download is saving this video."),
             QStringLiteral("Error: Another download is saving \"Clip.flv\""),
             QStringLiteral("Status: Error")),
         {{JobOutcome::Failed, QStringLiteral("Another download is saving this video.")}}},
        {"no room, or a folder in the way, said as such",
         dsDownloading,
         [](JobReporter &r) {
             r.transferEnded(TransferResult::DiskFull);
             r.transferEnded(TransferResult::PartIsFolder);
         },
         box(QStringLiteral("The disk is full."), QStringLiteral("Error: The disk is full."),
             QStringLiteral("Status: Error")) +
             box(QStringLiteral("\"Clip.flv.part\" is a folder."),
                 QStringLiteral("Error: \"Clip.flv.part\" is a folder."),
                 QStringLiteral("Status: Error")),
         {{JobOutcome::Failed, QStringLiteral("The disk is full.")}}},
        {"a failed transfer tells no reason but the failure",
         dsDownloading,
         [](JobReporter &r) { r.transferFailed(); },
         box(Unable, QStringLiteral("Error: Unable to download this video."),
             QStringLiteral("Status: Error")),
         {{JobOutcome::Failed, QString()}}},
        {"a failure after a Stop is the user's stop: nothing told", dsStopRequested,
         [](JobReporter &r) { r.transferFailed(); },
         box(Unable, QStringLiteral("Error: Unable to download this video."),
             QStringLiteral("Status: Error"))},
        {"the folder check fails before any job: nothing told", dsIdle,
         [](JobReporter &r) { r.folderMissing(); },
         box(QStringLiteral("Please set the Download directory."),
             QStringLiteral("Error. Please set a Download directory."),
             QStringLiteral("Status: Error. Please set a Download directory."))},
        {"step-down offers: none at index 0, a Yes lowers the selection",
         dsResolving,
         [](JobReporter &r) {
             r.offerStepDown(0, QStringLiteral("never asked"));
             r.offerStepDown(3, QStringLiteral("Lower?"));
             EXPECT_EQ(r.selectedFormat(), 2);
         },
         {QStringLiteral("question Lower? -> Yes"), QStringLiteral("set format 2"),
          QStringLiteral("read format")}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ProgramState state;
        state.SaveFileName = QStringLiteral("Clip.flv");
        RecordingJobWindow window;
        window.stepDownAnswers = {true};
        JobReporter reporter(state, window.roles());
        reporter.jobStarts();
        window.calls.clear();
        state.DownloadState = c.state;
        c.report(reporter);
        EXPECT_EQ(window.calls, c.calls);
        std::vector<std::pair<JobOutcome, QString>> endings;
        for (const JobEnd &end : window.endings) {
            EXPECT_EQ(end.fileName, state.SaveFileName);
            endings.emplace_back(end.outcome, end.reason);
            // The status texts the box leaves come with the end, for the window
            // to show behind the box; a step's own box (a conversion's) leaves them.
            EXPECT_EQ(end.statusLine.isEmpty(), end.statusPanel.isEmpty());
            if (!end.statusLine.isEmpty()) {
                EXPECT_TRUE(window.calls.contains(QStringLiteral("status line ") + end.statusLine));
                EXPECT_TRUE(
                    window.calls.contains(QStringLiteral("status panel ") + end.statusPanel));
            }
        }
        EXPECT_EQ(endings, c.endings);
    }
}
