#include "job/JobController.h"

#include "RecordingJobWindow.h"
#include "job/Clock.h"
#include "job/ProgramState.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

class FakeClock final : public Clock
{
public:
    quint32 now = 0;
    quint32 tickCount() const override { return now; }
};

// Each fake step lets the window run one message pass, where a test may press
// Stop or close the window, then does what the test scripted.
class FakeResolver final : public VideoResolver
{
public:
    explicit FakeResolver(JobWindow &window)
        : m_window(window)
    {}
    QString streamUrl = QStringLiteral("http://streams.test/video.flv");
    QString saveFileName = QStringLiteral("Title.flv");
    std::function<void()> during;
    void ResolveVideo(const QString &, QString &StreamUrl, QString &SaveFileName,
                      QString &DefaultName) override
    {
        m_window.processMessages();
        if (during)
            during();
        StreamUrl = streamUrl;
        SaveFileName = streamUrl.isEmpty() ? QString() : saveFileName;
        DefaultName = QStringLiteral("movie_01-31-2012_14-05-09.flv");
    }

private:
    JobWindow &m_window;
};

class FakeTransfer final : public FileTransfer
{
public:
    explicit FakeTransfer(JobWindow &window)
        : m_window(window)
    {}
    bool result = true;
    QString url, path;
    std::function<void()> during;
    bool DownloadToFile(const QString &u, const QString &p) override
    {
        url = u;
        path = p;
        m_window.processMessages();
        if (during)
            during();
        return result;
    }

private:
    JobWindow &m_window;
};

class FakeConversion final : public ConversionStep
{
public:
    explicit FakeConversion(JobWindow &window)
        : m_window(window)
    {}
    int runs = 0;
    ConversionOrder order;
    ConversionOutcome outcome = ConversionOutcome::Finished;
    std::function<void()> during;
    ConversionOutcome RunConversion(const ConversionOrder &o) override
    {
        ++runs;
        order = o;
        m_window.processMessages();
        if (during)
            during();
        return outcome;
    }

private:
    JobWindow &m_window;
};

class JobControllerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(saveDir.isValid());
        ASSERT_TRUE(appDir.isValid());
        state.AppDir = appDir.path() + QLatin1Char('/');
        window.folder = saveDir.path();
        window.link = QStringLiteral("http://www.youtube.com/watch?v=abc");
    }

    // What a Stop click or a window close does when the window handles it.
    void pressStop() { job.StartButtonClick(); }
    void closeWindow() { state.DownloadState = dsClosing; }
    void onNextMessagePass(std::function<void()> action)
    {
        window.onMessagePass = [this, action] {
            window.onMessagePass = nullptr;
            action();
        };
    }

    QStringList endOf(const QStringList &calls, qsizetype count) const
    {
        return calls.mid(calls.size() - count);
    }

    QTemporaryDir saveDir;
    QTemporaryDir appDir;
    ProgramState state;
    RecordingJobWindow window;
    FakeClock clock;
    FakeResolver resolver{window};
    FakeTransfer transfer{window};
    FakeConversion conversion{window};
    JobController job{state, window, resolver, transfer, conversion, clock};
};

const QString Completion = QStringLiteral("Download is complete\n\rCheck \"");

QStringList lockCalls()
{
    return {QStringLiteral("anti-freeze true"),
            QStringLiteral("BeginDownloadProgress"),
            QStringLiteral("inputs enabled false"),
            QStringLiteral("button Stop"),
            QStringLiteral("block 100"),
            QStringLiteral("timer true")};
}

QStringList unlockCalls(bool convertBoxes = true)
{
    return {QStringLiteral("block 100"),
            QStringLiteral("inputs enabled true"),
            QStringLiteral("read format"),
            QStringLiteral("convert boxes enabled ") +
                (convertBoxes ? QStringLiteral("true") : QStringLiteral("false")),
            QStringLiteral("button Download"),
            QStringLiteral("timer false")};
}

QStringList stoppedReport()
{
    return {QStringLiteral("status line Download is stopped by the user"),
            QStringLiteral("status panel Status: Download is stopped by the user"),
            QStringLiteral("EndTaskbarProgress")};
}

} // namespace

TEST_F(JobControllerTest, MissingFolderShowsErrorAndLocksNothing)
{
    for (const QString &folder : {QString(), saveDir.filePath(QStringLiteral("gone"))}) {
        SCOPED_TRACE(folder.toStdString());
        window.calls.clear();
        window.folder = folder;
        job.StartButtonClick();
        EXPECT_EQ(
            window.calls,
            QStringList({QStringLiteral("status line Start downloading..."),
                         QStringLiteral("status panel Status: Start downloading..."),
                         QStringLiteral("read folder"),
                         QStringLiteral("error box Please set the Download directory."),
                         QStringLiteral("status line Error. Please set a Download directory."),
                         QStringLiteral("status panel Status: Error. Please set a Download "
                                        "directory.")}));
        EXPECT_EQ(state.DownloadState, dsIdle);
    }
    // A later press with a good folder runs a whole job.
    window.folder = saveDir.path();
    job.StartButtonClick();
    EXPECT_EQ(window.statusLine, QStringLiteral("Download is complete: Title.flv"));
}

TEST_F(JobControllerTest, FolderGivenAsLinkToFolderCounts)
{
    const QString link = appDir.filePath(QStringLiteral("link"));
    ASSERT_TRUE(QFile::link(saveDir.path(), link));
    window.folder = link;
    job.StartButtonClick();
    EXPECT_EQ(window.statusLine, QStringLiteral("Download is complete: Title.flv"));
}

TEST_F(JobControllerTest, SuccessWithoutConversionMakesTheseCalls)
{
    clock.now = 5000;
    job.StartButtonClick();
    QStringList expected{QStringLiteral("status line Start downloading..."),
                         QStringLiteral("status panel Status: Start downloading..."),
                         QStringLiteral("read folder")};
    expected += lockCalls();
    expected += QStringList{QStringLiteral("read link"),
                            QStringLiteral("message pass"),
                            QStringLiteral("status line Downloading \"Title.flv\""),
                            QStringLiteral("status panel Status: Downloading"),
                            QStringLiteral("read folder"),
                            QStringLiteral("message pass"),
                            QStringLiteral("read avi"),
                            QStringLiteral("read mp4")};
    expected += unlockCalls();
    expected +=
        QStringList{QStringLiteral("information box ") + Completion + QStringLiteral("Title.flv\""),
                    QStringLiteral("status line Download is complete: Title.flv"),
                    QStringLiteral("status panel Status: Download is complete"),
                    QStringLiteral("EndTaskbarProgress")};
    EXPECT_EQ(window.calls, expected);
    EXPECT_EQ(transfer.path, saveDir.path() + QStringLiteral("/Title.flv"));
    EXPECT_EQ(transfer.url, resolver.streamUrl);
    EXPECT_EQ(state.StartTick, 5000u);
    EXPECT_EQ(state.DownloadState, dsIdle);
    EXPECT_EQ(conversion.runs, 0);
}

TEST_F(JobControllerTest, SaveFolderWithTrailingSlashGetsNoSecondOne)
{
    window.folder = saveDir.path() + QLatin1Char('/');
    job.StartButtonClick();
    EXPECT_EQ(transfer.path, saveDir.path() + QStringLiteral("/Title.flv"));
}

TEST_F(JobControllerTest, ConversionRunsOnlyForTickedBoxAndFlvFormat)
{
    struct Case
    {
        bool avi, mp4;
        int format;
        const char *extension; // empty: no conversion
    };
    const Case cases[]{
        {true, false, 2, ".avi"}, {false, true, 2, ".mp4"}, {true, true, 0, ".avi"},
        {false, true, 3, ".mp4"}, {true, false, 1, ""},     {false, true, 4, ""},
        {true, true, 5, ""},      {false, false, 2, ""},    {true, false, -1, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.avi << c.mp4 << c.format);
        window.avi = c.avi;
        window.mp4 = c.mp4;
        window.format = c.format;
        conversion.runs = 0;
        window.calls.clear();
        job.StartButtonClick();
        const QString extension = QString::fromLatin1(c.extension);
        EXPECT_EQ(conversion.runs, extension.isEmpty() ? 0 : 1);
        const QString name =
            extension.isEmpty() ? QStringLiteral("Title.flv") : QStringLiteral("Title") + extension;
        EXPECT_EQ(window.statusLine, QStringLiteral("Download is complete: ") + name);
        EXPECT_TRUE(window.calls.contains(QStringLiteral("information box ") + Completion + name +
                                          QLatin1Char('"')));
        if (!extension.isEmpty()) {
            EXPECT_EQ(conversion.order.TargetExtension, extension);
            EXPECT_EQ(conversion.order.SaveDir, saveDir.path() + QLatin1Char('/'));
            EXPECT_EQ(conversion.order.SaveFileName, QStringLiteral("Title.flv"));
            EXPECT_EQ(conversion.order.DefaultName,
                      QStringLiteral("movie_01-31-2012_14-05-09.flv"));
        }
    }
}

TEST_F(JobControllerTest, ConversionEntryOrderAndEndReport)
{
    window.avi = true;
    job.StartButtonClick();
    const QStringList tail{
        QStringLiteral("read avi"),          QStringLiteral("read mp4"),
        QStringLiteral("read format"),       QStringLiteral("BeginConversionProgress"),
        QStringLiteral("anti-freeze false"), QStringLiteral("message pass")};
    const qsizetype at = window.calls.indexOf(QStringLiteral("read avi"));
    ASSERT_GE(at, 0);
    EXPECT_EQ(window.calls.mid(at, tail.size()), tail);
    EXPECT_EQ(state.SaveFileName, QStringLiteral("Title.avi"));
}

TEST_F(JobControllerTest, StepDownDuringResolutionDecidesConversion)
{
    window.format = 4; // an MP4 format: no conversion unless the lookup steps down to FLV
    window.avi = true;
    resolver.during = [this] { window.setFormatIndex(3); };
    job.StartButtonClick();
    EXPECT_EQ(conversion.runs, 1);
    // The boxes follow the stepped-down format only once the job has ended.
    EXPECT_TRUE(window.calls.contains(QStringLiteral("convert boxes enabled true")));
}

TEST_F(JobControllerTest, ConverterFailureKeepsTheDownloadName)
{
    window.avi = true;
    conversion.outcome = ConversionOutcome::ConverterFailed;
    job.StartButtonClick();
    EXPECT_EQ(state.SaveFileName, QStringLiteral("Title.flv"));
    EXPECT_EQ(window.statusLine, QStringLiteral("Download is complete: Title.flv"));
}

TEST_F(JobControllerTest, EmptyLinkReportsNoVideoThenStopped)
{
    resolver.streamUrl.clear();
    job.StartButtonClick();
    QStringList expected{QStringLiteral("error box No video to download."),
                         QStringLiteral("status line Error. No video to download."),
                         QStringLiteral("status panel Status: Error. No video to download.")};
    expected += unlockCalls();
    expected += stoppedReport();
    EXPECT_EQ(endOf(window.calls, expected.size()), expected);
    EXPECT_EQ(state.DownloadState, dsIdle);
    EXPECT_TRUE(window.inputsEnabled);
    EXPECT_EQ(window.startCaption, QStringLiteral("Download"));
    EXPECT_TRUE(transfer.url.isEmpty());
}

TEST_F(JobControllerTest, FailedTransferReportsErrorThenStopped)
{
    transfer.result = false;
    job.StartButtonClick();
    QStringList expected{QStringLiteral("error box Unable to download this video."),
                         QStringLiteral("status line Error: Unable to download this video."),
                         QStringLiteral("status panel Status: Error")};
    expected += unlockCalls();
    expected += stoppedReport();
    EXPECT_EQ(endOf(window.calls, expected.size()), expected);
}

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
        // ... while converting it reports the download as complete.
        {"converting", "Download is complete: Title.avi", "information box "},
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
        EXPECT_EQ(window.calls.filter(QString::fromLatin1(c.box)).size(), 1);
        EXPECT_EQ(window.calls.last(), QStringLiteral("EndTaskbarProgress"));
        EXPECT_EQ(state.DownloadState, dsIdle);
        EXPECT_TRUE(window.inputsEnabled);
    }
}

TEST_F(JobControllerTest, EndReportRemovesLeftoverConverter)
{
    QFile converter(state.AppDir + QStringLiteral("ffmpeg.exe"));
    ASSERT_TRUE(converter.open(QIODevice::WriteOnly));
    converter.close();
    job.StartButtonClick();
    EXPECT_FALSE(converter.exists());
}

TEST_F(JobControllerTest, ElapsedPanelSurvivesTickWrap)
{
    clock.now = 0xFFFFF000u; // 4096 ms before the tick count wraps
    resolver.during = [this] {
        clock.now = 0x00000F00u + 61000; // wrapped, 61 s + 7.936 s later
        job.Timer1Timer();
    };
    job.StartButtonClick();
    EXPECT_EQ(window.elapsedPanel, QStringLiteral("00:01:08"));
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
