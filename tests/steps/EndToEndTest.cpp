#include "RecordingJobWindow.h"
#include "convert/StoredConverter.h"
#include "job/Clock.h"
#include "job/JobController.h"
#include "job/ProgramState.h"
#include "steps/ConversionWorkflow.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString runTool(const QString &tool, const QStringList &arguments)
{
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(tool, arguments);
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

class FixedResolver final : public VideoResolver
{
public:
    ResolvedVideo ResolveVideo(const QString &) override
    {
        return {QStringLiteral("http://streams.test/clip.flv"), QStringLiteral("Clip.flv"),
                QStringLiteral("movie_01-31-2012_14-05-09.flv")};
    }
};

// The "download" is a copy of a clip made by FFmpeg for the test.
class CopyTransfer final : public FileTransfer
{
public:
    QString clip;
    TransferResult DownloadToFile(const QString &, const QString &path) override
    {
        return QFile::copy(clip, path) ? TransferResult::Done : TransferResult::Failed;
    }
};

class EndToEndTest : public ::testing::TestWithParam<const char *>
{
protected:
    void SetUp() override
    {
        if (!StoredConverter::available())
            GTEST_SKIP() << "this build stores no converter";
        ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
        ffprobe = QStandardPaths::findExecutable(QStringLiteral("ffprobe"));
        if (ffmpeg.isEmpty() || ffprobe.isEmpty())
            GTEST_SKIP() << "ffmpeg and ffprobe are needed to make and check the clip";
        ASSERT_TRUE(root.isValid());
        for (const char *name : {"app", "save", "temp"})
            ASSERT_TRUE(QDir(root.path()).mkpath(QString::fromLatin1(name)));
        transfer.clip = root.filePath(QStringLiteral("clip.flv"));
        // Two seconds of test picture and tone, as the service's FLV streams carry them.
        runTool(ffmpeg, {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-f"),
                         QStringLiteral("lavfi"), QStringLiteral("-i"),
                         QStringLiteral("testsrc=duration=2:size=160x120:rate=15"),
                         QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                         QStringLiteral("sine=duration=2:sample_rate=22050"),
                         QStringLiteral("-c:v"), QStringLiteral("flv1"), QStringLiteral("-c:a"),
                         QStringLiteral("libmp3lame"), transfer.clip});
        ASSERT_TRUE(QFile::exists(transfer.clip));

        state.AppDir = root.filePath(QStringLiteral("app/"));
        state.TempDir = root.filePath(QStringLiteral("temp/"));
        window.folder = root.filePath(QStringLiteral("save"));
        window.link = QStringLiteral("http://www.youtube.com/watch?v=abc");
        job.setSteps({resolver, transfer, workflow, window});
    }

    QStringList streams(const QString &file) const
    {
        const QString out =
            runTool(ffprobe,
                    {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                     QStringLiteral("stream=codec_name,codec_type,codec_tag_string"),
                     QStringLiteral("-of"), QStringLiteral("csv=p=0"), file});
        return out.toLower().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    QString ffmpeg, ffprobe;
    QTemporaryDir root;
    ProgramState state;
    RecordingJobWindow window;
    SteadyClock clock;
    FixedResolver resolver;
    CopyTransfer transfer;
    StoredConverter stored;
    JobController job{state, window.roles(), clock};
    ConversionWorkflow workflow{job.report(), job.pulse(), stored, clock};
};

} // namespace

TEST_P(EndToEndTest, DownloadIsConvertedByTheStoredFfmpeg)
{
    const QString extension = QString::fromLatin1(GetParam());
    window.avi = extension == QStringLiteral("avi");
    window.mp4 = !window.avi;
    job.StartButtonClick();

    const QString converted = QStringLiteral("Clip.") + extension;
    EXPECT_EQ(window.statusLine, QStringLiteral("Download is complete: ") + converted);
    EXPECT_EQ(QDir(window.folder).entryList(QDir::Files), QStringList{converted});
    EXPECT_EQ(QDir(state.TempDir).entryList(QDir::Files), QStringList());
    EXPECT_FALSE(QFile::exists(state.AppDir + QStringLiteral("ffmpeg.exe")));
    EXPECT_TRUE(window.calls.contains(QStringLiteral("bar maximum 2")))
        << window.calls.join(QLatin1Char('\n')).toStdString();

    const QStringList found = streams(window.folder + QLatin1Char('/') + converted);
    if (window.avi) {
        EXPECT_TRUE(found.contains(QStringLiteral("mpeg4,video,xvid")))
            << found.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(found.filter(QStringLiteral(",audio,")).size(), 1);
    } else {
        EXPECT_TRUE(found.contains(QStringLiteral("h264,video,avc1")))
            << found.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(found.contains(QStringLiteral("aac,audio,mp4a")))
            << found.join(QLatin1Char(' ')).toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, EndToEndTest, ::testing::Values("avi", "mp4"));

namespace {

// A link planted where the copy goes is removed, never written through.
TEST(StoredConverterTest, TheCopyIsNeverWrittenThroughALink)
{
    if (!StoredConverter::available())
        GTEST_SKIP() << "no converter stored in this build";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString victim = dir.filePath(QStringLiteral("victim"));
    QFile file(victim);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("the user's file");
    file.close();
    const QString copy = dir.filePath(QStringLiteral("ffmpeg.exe"));
    ASSERT_TRUE(QFile::link(victim, copy));
    StoredConverter converter;
    ASSERT_TRUE(converter.writeConverter(copy));
    EXPECT_FALSE(QFileInfo(copy).isSymLink());
    EXPECT_TRUE(QFileInfo(copy).isExecutable());
    EXPECT_GT(QFileInfo(copy).size(), 1000);
    QFile check(victim);
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_EQ(check.readAll(), "the user's file");
    EXPECT_FALSE(QFileInfo(victim).isExecutable());
}

} // namespace
