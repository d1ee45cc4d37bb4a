#include "steps/ConversionWorkflow.h"

#include "ConvertTestSupport.h"
#include "RecordingJobWindow.h"
#include "job/JobReporter.h"
#include "job/ProgramState.h"
#include "job/StatePulse.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString Download = QStringLiteral("My Clip.flv");
const QString Converted = QStringLiteral("My Clip.avi");
const QString Dated = QStringLiteral("movie_01-31-2012_14-05-09.flv");
const QString DatedAvi = QStringLiteral("movie_01-31-2012_14-05-09.avi");
const QString CannotConvert = QStringLiteral("error box Unable to convert this video.");

QString readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

class ConversionWorkflowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        for (const char *name : {"app", "save", "temp"})
            ASSERT_TRUE(QDir(root.path()).mkpath(QString::fromLatin1(name)));
        state.AppDir = root.filePath(QStringLiteral("app/"));
        state.TempDir = root.filePath(QStringLiteral("temp/"));
        state.DownloadState = dsConverting;
        saveDir = root.filePath(QStringLiteral("save/"));
        ASSERT_TRUE(writeFile(saveDir + Download, "flv bytes"));
        qputenv("VIDLARK_FAKE_CONVERTER_SCRIPT", scriptPath().toLocal8Bit());
        workflow.runner().setIdlePassInterval(60000);
    }
    void TearDown() override { qunsetenv("VIDLARK_FAKE_CONVERTER_SCRIPT"); }

    QString scriptPath() const { return root.filePath(QStringLiteral("script")); }
    QString probePath() const { return root.filePath(QStringLiteral("probe")); }

    void converterDoes(const QStringList &commands)
    {
        ASSERT_TRUE(writeScript(scriptPath(),
                                QStringList{QStringLiteral("probe ") + probePath()} + commands));
    }

    ConversionOutcome convert(const QString &extension = QStringLiteral(".avi"))
    {
        return workflow.RunConversion(order(saveDir, Download, extension));
    }

    QStringList converterArguments() const
    {
        return probeValues(probePath(), QStringLiteral("arg"));
    }

    // What the job hands over, its places taken from the program state.
    ConversionOrder order(const QString &folder, const QString &name, const QString &extension)
    {
        return {folder,       name,         Dated, extension, ConverterFolder(state),
                state.AppDir, state.TempDir};
    }

    QTemporaryDir root;
    QString saveDir;
    ProgramState state;
    RecordingJobWindow window;
    JobReporter reporter{state, window.roles()};
    StatePulse pulse{state, window};
    FakeClock clock;
    FakeConverterSource source;
    ConversionWorkflow workflow{reporter, pulse, source, clock};
};

const QStringList Succeeds{QStringLiteral("print Duration: 00:01:00.00, s"),
                           QStringLiteral("print time=30.00 x"),
                           QStringLiteral("output converted bytes")};

} // namespace

TEST_F(ConversionWorkflowTest, SuccessLeavesOnlyTheConvertedFile)
{
    converterDoes(Succeeds);
    EXPECT_EQ(convert(), ConversionOutcome::Finished);
    EXPECT_EQ(filesIn(saveDir), QStringList{Converted});
    EXPECT_EQ(readAll(saveDir + Converted), QStringLiteral("converted bytes"));
    EXPECT_EQ(filesIn(state.TempDir), QStringList());
    EXPECT_EQ(state.DownloadState, dsConverting);
    // The converter saw only the staged copy and its dated output, no overwrite option.
    EXPECT_EQ(converterArguments(),
              QStringList({QStringLiteral("-i"), state.TempDir + Dated, QStringLiteral("-vcodec"),
                           QStringLiteral("mpeg4"), QStringLiteral("-vtag"), QStringLiteral("xvid"),
                           QStringLiteral("-b"), QStringLiteral("650k"), QStringLiteral("-g"),
                           QStringLiteral("300"), QStringLiteral("-ab"), QStringLiteral("128k"),
                           state.TempDir + DatedAvi}));
    EXPECT_EQ(probeValues(probePath(), QStringLiteral("cwd")),
              QStringList{QDir(state.AppDir).canonicalPath()});
    EXPECT_TRUE(window.calls.contains(QStringLiteral("ShowConversionProgress 30 of 60")));
    EXPECT_FALSE(window.calls.contains(CannotConvert));
}

// A stopped download marked for resuming that gets converted has nothing
// left to resume; one whose conversion fails keeps its record.
TEST_F(ConversionWorkflowTest, TheRecordOfAStoppedDownloadGoesWithASuccess)
{
    const QString record = saveDir + Download + QStringLiteral(".resume");
    for (const bool succeeds : {true, false}) {
        SCOPED_TRACE(succeeds);
        ASSERT_TRUE(writeFile(saveDir + Download, "flv bytes"));
        ASSERT_TRUE(writeFile(record, "Vidlark partial download 1\n"));
        converterDoes(succeeds ? Succeeds : QStringList{QStringLiteral("exit 1")});
        convert();
        EXPECT_EQ(QFileInfo::exists(record), !succeeds);
    }
}

TEST_F(ConversionWorkflowTest, Mp4UsesFfmpegsOwnAacEncoder)
{
    converterDoes(Succeeds);
    EXPECT_EQ(convert(QStringLiteral(".mp4")), ConversionOutcome::Finished);
    EXPECT_EQ(filesIn(saveDir), QStringList{QStringLiteral("My Clip.mp4")});
    EXPECT_EQ(
        converterArguments().mid(2, 8),
        QStringList({QStringLiteral("-acodec"), QStringLiteral("aac"), QStringLiteral("-ab"),
                     QStringLiteral("128k"), QStringLiteral("-vcodec"), QStringLiteral("libx264"),
                     QStringLiteral("-b"), QStringLiteral("600k")}));
}

// The external extractor may bring an FLV row's video as an MP4 already; its
// conversion to MP4 replaces the download, and nothing is lost.
TEST_F(ConversionWorkflowTest, ConvertingIntoTheDownloadsOwnContainerReplacesIt)
{
    const QString download = QStringLiteral("From Today.mp4");
    ASSERT_TRUE(writeFile(saveDir + download, "mp4 bytes"));
    converterDoes(Succeeds);
    EXPECT_EQ(workflow.RunConversion(order(saveDir, download, QStringLiteral(".mp4"))),
              ConversionOutcome::Finished);
    EXPECT_EQ(filesIn(saveDir), QStringList({download, Download}));
    EXPECT_EQ(readAll(saveDir + download), QStringLiteral("converted bytes"));
    EXPECT_EQ(filesIn(state.TempDir), QStringList());
}

TEST_F(ConversionWorkflowTest, OlderConvertedFileMakesWayAfterSuccess)
{
    ASSERT_TRUE(writeFile(saveDir + Converted, "old conversion"));
    converterDoes(Succeeds);
    EXPECT_EQ(convert(), ConversionOutcome::Finished);
    EXPECT_EQ(filesIn(saveDir), QStringList{Converted});
    EXPECT_EQ(readAll(saveDir + Converted), QStringLiteral("converted bytes"));
}

TEST_F(ConversionWorkflowTest, PutBackThatFailsKeepsTheConvertedFileAndSaysWhere)
{
    // A folder in the way of the converted name: the move cannot replace it.
    ASSERT_TRUE(QDir(saveDir).mkpath(Converted + QStringLiteral("/inside")));
    converterDoes(Succeeds);
    EXPECT_EQ(convert(), ConversionOutcome::ConverterFailed);
    EXPECT_EQ(filesIn(saveDir), QStringList{Download});
    EXPECT_EQ(QDir(saveDir).entryList(QDir::Files | QDir::Hidden), QStringList{Download});
    EXPECT_TRUE(QFileInfo::exists(saveDir + Converted + QStringLiteral("/inside")));
    // The staged copy goes; the converted file stays, and the box names it.
    EXPECT_EQ(filesIn(state.TempDir), QStringList{DatedAvi});
    EXPECT_EQ(readAll(state.TempDir + DatedAvi), QStringLiteral("converted bytes"));
    EXPECT_EQ(window.calls.filter(QStringLiteral("error box")),
              QStringList{QStringLiteral("error box Unable to put the converted video into the "
                                         "Download directory.\n\rIt is kept as \"") +
                          state.TempDir + DatedAvi + QLatin1Char('"')});
}

TEST_F(ConversionWorkflowTest, ALongNameIsPutBackUnderAShortTemporaryName)
{
    // 251 bytes and its extension: the longest a title leaves after the
    // 255-byte rule. A temporary name made by adding to it would be too long.
    const QString longName = QString(251, QLatin1Char('n')) + QStringLiteral(".flv");
    const QString longConverted = QString(251, QLatin1Char('n')) + QStringLiteral(".avi");
    ASSERT_TRUE(writeFile(saveDir + longName, "flv bytes"));
    ASSERT_TRUE(writeFile(saveDir + longConverted, "old conversion"));
    converterDoes(Succeeds);
    EXPECT_EQ(workflow.RunConversion(order(saveDir, longName, QStringLiteral(".avi"))),
              ConversionOutcome::Finished);
    EXPECT_EQ(readAll(saveDir + longConverted), QStringLiteral("converted bytes"));
    EXPECT_EQ(QDir(saveDir).entryList(QDir::Files | QDir::Hidden),
              QStringList({Download, longConverted}));
    EXPECT_FALSE(window.calls.contains(CannotConvert));
}

TEST_F(ConversionWorkflowTest, FailureOrStopKeepsTheDownloadAndRemovesWhatTheRunMade)
{
    struct Case
    {
        const char *name;
        QStringList script;
        TDownloadState stopWith;
        ConversionOutcome outcome;
        bool errorBox;
    };
    const QStringList partial{QStringLiteral("print Duration: 00:01:00.00, s"),
                              QStringLiteral("output half"), QStringLiteral("print time=1.00 x")};
    const Case cases[] = {
        {"converter fails", partial + QStringList{QStringLiteral("exit 1")}, dsConverting,
         ConversionOutcome::ConverterFailed, true},
        {"job stopped", partial + QStringList{QStringLiteral("hang")}, dsStopRequested,
         ConversionOutcome::Finished, false},
        {"window closed", partial + QStringList{QStringLiteral("hang")}, dsClosing,
         ConversionOutcome::Finished, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        state.DownloadState = dsConverting;
        window.calls.clear();
        window.onMessagePass = [this, stop = c.stopWith] {
            if (stop != dsConverting)
                state.DownloadState = stop;
        };
        converterDoes(c.script);
        EXPECT_EQ(convert(), c.outcome);
        EXPECT_EQ(filesIn(saveDir), QStringList{Download});
        EXPECT_EQ(readAll(saveDir + Download), QStringLiteral("flv bytes"));
        EXPECT_EQ(filesIn(state.TempDir), QStringList());
        EXPECT_EQ(window.calls.contains(CannotConvert), c.errorBox);
        EXPECT_EQ(state.DownloadState, c.stopWith);
    }
}

TEST_F(ConversionWorkflowTest, WithoutATemporaryFolderTheConverterWorksInTheSaveFolder)
{
    for (const QString &temp : {root.filePath(QStringLiteral("no-such-folder/")), QString()}) {
        SCOPED_TRACE(temp.toStdString());
        state.TempDir = temp;
        converterDoes(Succeeds);
        EXPECT_EQ(convert(), ConversionOutcome::Finished);
        const QStringList arguments = converterArguments();
        ASSERT_GE(arguments.size(), 3);
        EXPECT_EQ(arguments.at(1), saveDir + Download);
        EXPECT_EQ(arguments.back(), saveDir + Converted);
        EXPECT_EQ(filesIn(saveDir), QStringList{Converted});
        EXPECT_EQ(readAll(saveDir + Converted), QStringLiteral("converted bytes"));
        QFile::remove(saveDir + Converted);
        ASSERT_TRUE(writeFile(saveDir + Download, "flv bytes"));
    }
}

TEST_F(ConversionWorkflowTest, StagingNeverTouchesAFileOfTheUsers)
{
    const QString Dated2 = QStringLiteral("movie_01-31-2012_14-05-09-2.flv");
    struct Case
    {
        const char *name;
        QStringList usersFiles; // in the temporary folder before the run
        bool link;              // the first of them is a link to a file elsewhere
        QString stagedAs;
    };
    const Case cases[] = {
        {"the download's own name", {Download}, false, Dated},
        {"the dated name", {Dated}, false, Dated2},
        {"the dated converted name", {DatedAvi}, false, Dated2},
        {"a link under the dated name", {Dated}, true, Dated2},
        {"both dated names", {DatedAvi, Dated}, false, Dated2}, // in name order
    };
    const QString elsewhere = root.filePath(QStringLiteral("elsewhere"));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QDir(state.TempDir).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(state.TempDir));
        ASSERT_TRUE(writeFile(saveDir + Download, "flv bytes"));
        QFile::remove(saveDir + Converted);
        ASSERT_TRUE(writeFile(elsewhere, "linked"));
        for (const QString &name : c.usersFiles) {
            if (c.link && name == c.usersFiles.first())
                ASSERT_TRUE(QFile::link(elsewhere, state.TempDir + name));
            else
                ASSERT_TRUE(writeFile(state.TempDir + name, "the user's"));
        }
        converterDoes(Succeeds);
        EXPECT_EQ(convert(), ConversionOutcome::Finished);
        const QStringList arguments = converterArguments();
        ASSERT_GE(arguments.size(), 3);
        EXPECT_EQ(arguments.at(1), state.TempDir + c.stagedAs);
        EXPECT_EQ(readAll(saveDir + Converted), QStringLiteral("converted bytes"));
        EXPECT_EQ(QDir(state.TempDir).entryList(QDir::Files | QDir::System | QDir::Hidden),
                  c.usersFiles);
        for (const QString &name : c.usersFiles) {
            EXPECT_EQ(readAll(state.TempDir + name), c.link && name == c.usersFiles.first()
                                                         ? QStringLiteral("linked")
                                                         : QStringLiteral("the user's"));
        }
        EXPECT_EQ(readAll(elsewhere), QStringLiteral("linked"));
    }
}

TEST_F(ConversionWorkflowTest, TheSaveFolderAsTemporaryFolderCostsNoFile)
{
    state.TempDir = saveDir;
    converterDoes(Succeeds);
    EXPECT_EQ(convert(), ConversionOutcome::Finished);
    EXPECT_EQ(QDir(saveDir).entryList(QDir::Files | QDir::Hidden), QStringList{Converted});
    EXPECT_EQ(readAll(saveDir + Converted), QStringLiteral("converted bytes"));
}

TEST_F(ConversionWorkflowTest, RelativeFolderStartingWithDashIsNoOption)
{
    // Created in the test's current folder, named so that it reads like an option.
    QTemporaryDir dashed(QStringLiteral("-y-XXXXXX"));
    ASSERT_TRUE(dashed.isValid());
    const QString relative = QDir::current().relativeFilePath(dashed.path()) + QLatin1Char('/');
    ASSERT_TRUE(relative.startsWith(QLatin1Char('-')));
    ASSERT_TRUE(writeFile(relative + Download, "flv bytes"));
    state.TempDir = root.filePath(QStringLiteral("no-such-folder/"));
    converterDoes(Succeeds);
    EXPECT_EQ(workflow.RunConversion(order(relative, Download, QStringLiteral(".avi"))),
              ConversionOutcome::Finished)
        << window.calls.join(QLatin1Char('\n')).toStdString();
    const QStringList arguments = converterArguments();
    ASSERT_GE(arguments.size(), 3);
    EXPECT_EQ(arguments.at(1), QDir(dashed.path()).absoluteFilePath(Download));
    EXPECT_EQ(arguments.back(), QDir(dashed.path()).absoluteFilePath(Converted));
    EXPECT_EQ(filesIn(dashed.path()), QStringList{Converted});
}

TEST_F(ConversionWorkflowTest, FileThatStoodThereBeforeTheRunIsNeverRemoved)
{
    // Without staging the converter meets the older conversion, refuses to
    // overwrite it and fails: both files stay as they were.
    state.TempDir = root.filePath(QStringLiteral("no-such-folder/"));
    ASSERT_TRUE(writeFile(saveDir + Converted, "old conversion"));
    converterDoes(Succeeds);
    EXPECT_EQ(convert(), ConversionOutcome::ConverterFailed);
    EXPECT_EQ(filesIn(saveDir), QStringList({Converted, Download}));
    EXPECT_EQ(readAll(saveDir + Converted), QStringLiteral("old conversion"));
    EXPECT_EQ(readAll(saveDir + Download), QStringLiteral("flv bytes"));
    EXPECT_TRUE(window.calls.contains(CannotConvert));
}

TEST_F(ConversionWorkflowTest, MissingConverterStopsTheJobBeforeStaging)
{
    source.fail = true;
    // The job says so and winds down; the workflow only tells it.
    EXPECT_EQ(convert(), ConversionOutcome::ConverterMissing);
    EXPECT_TRUE(window.calls.isEmpty());
    EXPECT_EQ(filesIn(saveDir), QStringList{Download});
    EXPECT_EQ(filesIn(state.TempDir), QStringList());
    EXPECT_EQ(filesIn(state.AppDir), QStringList());
}

TEST_F(ConversionWorkflowTest, InstalledProgramWritesTheConverterIntoItsOwnFolder)
{
    const QString own = root.filePath(QStringLiteral("own/"));
    ASSERT_TRUE(QDir().mkpath(own));
    state.ConverterDir = own;
    converterDoes(Succeeds);
    EXPECT_EQ(convert(), ConversionOutcome::Finished);
    EXPECT_EQ(source.paths, QStringList{own + QStringLiteral("ffmpeg.exe")});
    EXPECT_EQ(filesIn(saveDir), QStringList{Converted});
    EXPECT_EQ(filesIn(state.AppDir), QStringList());
}

TEST_F(ConversionWorkflowTest, ConverterThatCannotStartKeepsTheDownloadName)
{
    source.notExecutable = true;
    EXPECT_EQ(convert(), ConversionOutcome::ConverterFailed);
    // Its own box says why; no second box.
    EXPECT_EQ(window.calls, QStringList{QStringLiteral("command failure box Permission denied")});
    EXPECT_EQ(filesIn(saveDir), QStringList{Download});
    EXPECT_EQ(filesIn(state.TempDir), QStringList());
}

TEST_F(ConversionWorkflowTest, ConverterReportingSuccessWithoutOutputIsAFailure)
{
    converterDoes({QStringLiteral("print Duration: 00:01:00.00, s")});
    EXPECT_EQ(convert(), ConversionOutcome::ConverterFailed);
    EXPECT_EQ(filesIn(saveDir), QStringList{Download});
    EXPECT_EQ(filesIn(state.TempDir), QStringList());
    EXPECT_TRUE(window.calls.contains(CannotConvert));
}
