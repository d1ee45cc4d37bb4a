// The managed extractor's update against the sample service's release folder
// (a stand-in program and its SHA2-256SUMS), and which extractor runs.
#include "steps/ExtractorUpdate.h"

#include "FileContents.h"
#include "NoProxyEnvironment.h"
#include "RecordingJobWindow.h"
#include "Releases.h"
#include "SampleService.h"
#include "job/JobReporter.h"
#include "job/ProgramState.h"
#include "job/StatePulse.h"
#include "net/HttpClient.h"
#include "steps/ExtractorProgram.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ExtractorUpdateTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(scratch.isValid());
        clearProxyEnvironment();
        service.start();
        state.DownloadState = dsDownloading;
        state.SaveFileName = QStringLiteral("yt-dlp");
    }

    QString releases(const char *folder) const
    {
        return service.baseUrl() + QStringLiteral("/releases/") + QString::fromLatin1(folder);
    }
    ExtractorUpdateReport update(const char *folder)
    {
        service.clearRequests();
        window.calls.clear();
        return updater.run(releases(folder), target);
    }
    // What the managed copy's folder holds: nothing half-written beside it.
    QStringList folderFiles() const
    {
        return QDir(QFileInfo(target).absolutePath())
            .entryList(QDir::Files | QDir::Hidden | QDir::System);
    }
    QByteArrayList requestedPaths() const
    {
        QByteArrayList paths;
        for (const ServiceRequest &request : service.requests())
            paths << request.path;
        return paths;
    }
    void expectKept(const QByteArray &before) const
    {
        EXPECT_EQ(contentsOf(target), before);
        EXPECT_EQ(folderFiles(), QStringList{QStringLiteral("yt-dlp")});
        EXPECT_EQ(ExtractorVersion(target), QStringLiteral("2099.01.01"));
    }

    QTemporaryDir scratch;
    SampleService service;
    ProgramState state;
    RecordingJobWindow window;
    JobReporter reporter{state, window.roles()};
    StatePulse pulse{state, window};
    HttpClient client;
    ExtractorUpdate updater{client, reporter, pulse};
    QString target = scratch.filePath(QStringLiteral("data/vidlark/yt-dlp"));
};

} // namespace

TEST_F(ExtractorUpdateTest, InstallsTheReleaseCheckedAndExecutableWithADownloadsProgress)
{
    client.Request.Referer = QStringLiteral("http://www.youtube.com/watch?v=vidlark0001");
    const ExtractorUpdateReport report = update("2099.01.01");
    EXPECT_EQ(report.outcome, ExtractorUpdateOutcome::Updated) << report.detail.toStdString();
    EXPECT_EQ(report.oldVersion, QString());
    EXPECT_EQ(report.newVersion, QStringLiteral("2099.01.01"));
    EXPECT_EQ(report.path, target);
    EXPECT_EQ(contentsOf(target), Releases::program("2099.01.01"));
    EXPECT_TRUE(QFileInfo(target).isExecutable());
    EXPECT_EQ(ExtractorVersion(target), QStringLiteral("2099.01.01"));
    EXPECT_EQ(folderFiles(), QStringList{QStringLiteral("yt-dlp")});

    // The list first, then the program; none of the lookup's settings go with them.
    EXPECT_EQ(requestedPaths(),
              (QByteArrayList{"/releases/2099.01.01/SHA2-256SUMS", "/releases/2099.01.01/yt-dlp"}));
    for (const ServiceRequest &request : service.requests()) {
        EXPECT_TRUE(request.header("Referer").isEmpty());
        EXPECT_TRUE(request.header("Cookie").isEmpty());
        EXPECT_EQ(request.header("User-Agent"), QByteArray("Vidlark/" VIDLARK_VERSION));
    }
    EXPECT_EQ(client.Request.Referer, QStringLiteral("http://www.youtube.com/watch?v=vidlark0001"));

    // Its progress as a download's.
    const qsizetype size = Releases::program("2099.01.01").size();
    EXPECT_TRUE(window.calls.contains(QStringLiteral("bar maximum %1").arg(size)));
    EXPECT_TRUE(window.calls.contains(QStringLiteral("ShowTransferProgress %1 of %1").arg(size)));
    EXPECT_TRUE(window.statusLine.startsWith(QStringLiteral("Downloading... ")));
    EXPECT_TRUE(window.statusLine.endsWith(QStringLiteral(" - \"yt-dlp\"")));
}

TEST_F(ExtractorUpdateTest, TheSameReleaseAgainIsCurrentAndANewerOneReplacesIt)
{
    ASSERT_EQ(update("2099.01.01").outcome, ExtractorUpdateOutcome::Updated);
    const ExtractorUpdateReport current = update("2099.01.01");
    EXPECT_EQ(current.outcome, ExtractorUpdateOutcome::Current);
    EXPECT_EQ(current.oldVersion, QStringLiteral("2099.01.01"));
    EXPECT_EQ(current.newVersion, QStringLiteral("2099.01.01"));
    // The list said so: the program is not fetched again.
    EXPECT_EQ(requestedPaths(), QByteArrayList{"/releases/2099.01.01/SHA2-256SUMS"});

    const ExtractorUpdateReport newer = update("2099.02.01");
    EXPECT_EQ(newer.outcome, ExtractorUpdateOutcome::Updated);
    EXPECT_EQ(newer.oldVersion, QStringLiteral("2099.01.01"));
    EXPECT_EQ(newer.newVersion, QStringLiteral("2099.02.01"));
    EXPECT_EQ(contentsOf(target), Releases::program("2099.02.01"));
    EXPECT_EQ(folderFiles(), QStringList{QStringLiteral("yt-dlp")});
}

// A refused, failed or stopped update leaves the previous copy as it was.
TEST_F(ExtractorUpdateTest, ARefusedOrFailedUpdateKeepsThePreviousCopy)
{
    ASSERT_EQ(update("2099.01.01").outcome, ExtractorUpdateOutcome::Updated);
    const QByteArray before = contentsOf(target);

    SampleService down;
    down.start();
    const QString nowhere = down.baseUrl() + QStringLiteral("/releases/2099.05.01");
    down.stop();

    const struct
    {
        const char *name;
        QString releases;
        ExtractorUpdateOutcome outcome;
        const char *detail;
    } cases[] = {
        {"wrong checksum", releases("wrong-sum/2099.02.01"),
         ExtractorUpdateOutcome::ChecksumRefused, "SHA-256 "},
        {"no line for the program", releases("no-line/2099.02.01"),
         ExtractorUpdateOutcome::ChecksumRefused, "it has no line for yt-dlp"},
        {"a program that does not run", releases("mute/2099.02.01"),
         ExtractorUpdateOutcome::NotRunnable, "it names no version"},
        {"no such release folder", releases("nightly/2099.02.01"),
         ExtractorUpdateOutcome::NetworkFailed, "/SHA2-256SUMS: HTTP status 404"},
        {"the server is down", nowhere, ExtractorUpdateOutcome::NetworkFailed, "/SHA2-256SUMS: "},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        service.clearRequests();
        const ExtractorUpdateReport report = updater.run(c.releases, target);
        EXPECT_EQ(report.outcome, c.outcome) << report.detail.toStdString();
        EXPECT_TRUE(report.detail.contains(QString::fromLatin1(c.detail)))
            << report.detail.toStdString();
        EXPECT_EQ(report.oldVersion, QStringLiteral("2099.01.01"));
        expectKept(before);
    }
}

TEST_F(ExtractorUpdateTest, AStopEndsTheDownloadAndKeepsThePreviousCopy)
{
    ASSERT_EQ(update("2099.01.01").outcome, ExtractorUpdateOutcome::Updated);
    const QByteArray before = contentsOf(target);
    // The program's download stops half way; the user presses Stop at its first progress.
    window.onMessagePass = [this] {
        if (window.statusLine.startsWith(QStringLiteral("Downloading... ")))
            state.DownloadState = dsStopRequested;
    };
    const ExtractorUpdateReport report = update("stall/2099.02.01");
    EXPECT_EQ(report.outcome, ExtractorUpdateOutcome::Stopped);
    expectKept(before);
}

TEST_F(ExtractorUpdateTest, AFolderThatCannotBeMadeIsTheDisksFailure)
{
    QFile blocker(scratch.filePath(QStringLiteral("data")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const ExtractorUpdateReport report = update("2099.01.01");
    EXPECT_EQ(report.outcome, ExtractorUpdateOutcome::DiskFailed);
    EXPECT_FALSE(report.detail.isEmpty());
    EXPECT_TRUE(QFileInfo(blocker.fileName()).isFile());
}

// Which extractor runs: the setting, else the managed copy, else PATH's.
TEST(ExtractorPrecedence, TheSettingThenTheManagedCopyThenPath)
{
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    ASSERT_TRUE(QDir(scratch.path()).mkpath(QStringLiteral("bin")));
    ASSERT_TRUE(QDir(scratch.path()).mkpath(QStringLiteral("data/vidlark")));
    const QString onPath = scratch.filePath(QStringLiteral("bin/yt-dlp"));
    const QString managed = scratch.filePath(QStringLiteral("data/vidlark/yt-dlp"));
    const QByteArray path = qgetenv("PATH");
    ::setenv("PATH", QFile::encodeName(scratch.filePath(QStringLiteral("bin"))).constData(), 1);
    const auto write = [](const QString &file, bool executable) {
        QFile program(file);
        ASSERT_TRUE(program.open(QIODevice::WriteOnly));
        program.write("#!/bin/sh\necho 2099.01.01\n");
        program.close();
        program.setPermissions(executable ? QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                          : QFile::ReadOwner | QFile::WriteOwner);
    };
    write(onPath, true);
    EXPECT_EQ(ChooseExtractorProgram(std::nullopt, managed), onPath); // no managed copy yet
    write(managed, false);
    EXPECT_EQ(ChooseExtractorProgram(std::nullopt, managed), onPath); // not executable
    write(managed, true);
    EXPECT_EQ(ChooseExtractorProgram(std::nullopt, managed), managed);
    EXPECT_EQ(ChooseExtractorProgram(QStringLiteral("/opt/yt-dlp"), managed),
              QStringLiteral("/opt/yt-dlp"));
    EXPECT_EQ(ChooseExtractorProgram(QStringLiteral("none"), managed), QString());
    EXPECT_EQ(DescribeExtractorProgram(managed, false).version, QStringLiteral("2099.01.01"));
    ::setenv("PATH", path.constData(), 1);
}
