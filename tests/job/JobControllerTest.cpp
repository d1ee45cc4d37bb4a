#include "JobControllerFixture.h"

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

// A failure keeps its own texts to the end: it is no stop of the user's.
TEST_F(JobControllerTest, EmptyLinkReportsNoVideoAndKeepsSayingSo)
{
    resolver.streamUrl.clear();
    job.StartButtonClick();
    QStringList expected{QStringLiteral("error box No video to download."),
                         QStringLiteral("status line Error. No video to download."),
                         QStringLiteral("status panel Status: Error. No video to download.")};
    expected += unlockCalls();
    expected += QStringLiteral("EndTaskbarProgress");
    EXPECT_EQ(endOf(window.calls, expected.size()), expected);
    EXPECT_EQ(state.DownloadState, dsIdle);
    EXPECT_TRUE(window.inputsEnabled);
    EXPECT_EQ(window.startCaption, QStringLiteral("Download"));
    EXPECT_TRUE(transfer.url.isEmpty());
}

TEST_F(JobControllerTest, FailedTransferReportsErrorAndKeepsSayingSo)
{
    transfer.result = false;
    job.StartButtonClick();
    QStringList expected{QStringLiteral("error box Unable to download this video."),
                         QStringLiteral("status line Error: Unable to download this video."),
                         QStringLiteral("status panel Status: Error")};
    expected += unlockCalls();
    expected += QStringLiteral("EndTaskbarProgress");
    EXPECT_EQ(endOf(window.calls, expected.size()), expected);
}

TEST_F(JobControllerTest, EndReportRemovesLeftoverConverter)
{
    QFile converter(state.AppDir + QStringLiteral("ffmpeg.exe"));
    ASSERT_TRUE(converter.open(QIODevice::WriteOnly));
    converter.close();
    job.StartButtonClick();
    EXPECT_FALSE(converter.exists());
}

TEST_F(JobControllerTest, EndReportRemovesTheConverterFromItsOwnFolder)
{
    QTemporaryDir own;
    ASSERT_TRUE(own.isValid());
    state.ConverterDir = own.path() + QLatin1Char('/');
    QFile converter(state.ConverterDir + QStringLiteral("ffmpeg.exe"));
    QFile besideProgram(state.AppDir + QStringLiteral("ffmpeg.exe"));
    for (QFile *file : {&converter, &besideProgram}) {
        ASSERT_TRUE(file->open(QIODevice::WriteOnly));
        file->close();
    }
    job.StartButtonClick();
    EXPECT_FALSE(converter.exists());
    // Not the program's: an installed program leaves its own folder alone.
    EXPECT_TRUE(besideProgram.exists());
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
