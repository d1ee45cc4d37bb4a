#include "app/FormLifecycle.h"

#include "FakeClock.h"
#include "RecordingMessageBoxes.h"
#include "app/IniFile.h"
#include "app/StartUpEnvironment.h"
#include "job/JobController.h"
#include "job/ProgramPlaces.h"
#include "window/DesktopNotifications.h"
#include "window/MainForm.h"
#include "window/TaskbarProgress.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <map>

namespace {

class FakeTaskbar final : public TaskbarProgress
{
public:
    void SetProgressState(State) override {}
    void SetProgressValue(quint64, quint64) override {}
};

QByteArray keyFile(const QString &value)
{
    return "[Main]\nSavePath=" + value.toUtf8() + "\n";
}

class FormLifecycleTest : public testing::Test
{
protected:
    QTemporaryDir root;
    QString appDir; // holds the program and its settings file, ends with "/"
    QString documents;
    TMainForm form;
    FakeClock clock;
    JobController job{form.state(), form.jobWindow(), clock}; // the close reaches it
    RecordingMessageBoxes *boxes = nullptr;
    bool bus = false;
    int taskbarsMade = 0;
    int notificationsMade = 0;

    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        QDir(root.path()).mkpath(QStringLiteral("app"));
        QDir(root.path()).mkpath(QStringLiteral("docs"));
        QDir(root.path()).mkpath(QStringLiteral("tmp"));
        appDir = root.filePath(QStringLiteral("app")) + QLatin1Char('/');
        documents = root.filePath(QStringLiteral("docs"));
        auto recording = std::make_unique<RecordingMessageBoxes>();
        boxes = recording.get();
        form.setMessageBoxes(std::move(recording));
        form.setJob(job);
    }

    StartUpEnvironment env(int digit = 5)
    {
        StartUpEnvironment e;
        e.executablePath = appDir + QStringLiteral("vidlark");
        e.tempPath = root.filePath(QStringLiteral("tmp"));
        e.randomDigit = [digit] { return digit; };
        e.sessionBusAvailable = [this] { return bus; };
        e.makeTaskbar = [this] {
            ++taskbarsMade;
            return std::make_unique<FakeTaskbar>();
        };
        e.makeNotifications = [this] {
            ++notificationsMade;
            return std::make_unique<NoDesktopNotifications>();
        };
        e.defaultSaveFolder = [this] { return documents; };
        return e;
    }

    void writeFile(const QString &path, const QByteArray &content)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QByteArray readFile(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    QString ini() const { return appDir + QStringLiteral("Vidlark.ini"); }
    QString folderField() const { return form.DirectoryEdit()->text(); }
};

TEST(FormLifecycleCaptions, Button1CaptionsComeInProportions3To5To1To1)
{
    std::map<QString, int> shares;
    for (int digit = 0; digit <= 9; ++digit)
        ++shares[FormLifecycle::Button1Caption(digit)];
    EXPECT_EQ(shares.size(), 4u);
    EXPECT_EQ(shares[QStringLiteral("Download from Vimeo")], 3);
    EXPECT_EQ(shares[QStringLiteral("Download multiple videos at a time")], 5);
    EXPECT_EQ(shares[QStringLiteral("Download Facebook Video")], 1);
    EXPECT_EQ(shares[QStringLiteral("Download Dailymotion Video")], 1);
}

TEST_F(FormLifecycleTest, StartUpFixesStateFoldersAndCaption)
{
    FormLifecycle::FormCreate(form, env(9));
    EXPECT_EQ(form.state().DownloadState, dsIdle);
    EXPECT_EQ(form.Button1()->text(), QStringLiteral("Download Dailymotion Video"));
    EXPECT_EQ(form.state().AppDir, appDir);
    EXPECT_EQ(form.state().TempDir, root.filePath(QStringLiteral("tmp")) + QLatin1Char('/'));
    EXPECT_FALSE(form.SupportTaskBar());
    EXPECT_EQ(taskbarsMade, 0);
}

TEST_F(FormLifecycleTest, AMissingTemporaryFolderGivesWayToThePlatformsOwn)
{
    // A TMPDIR naming no folder once made the temporary folder "/".
    for (const char *reported : {"gone", ""}) {
        SCOPED_TRACE(reported);
        StartUpEnvironment e = env();
        e.tempPath = reported[0] ? root.filePath(QLatin1String(reported)) : QString();
        FormLifecycle::FormCreate(form, e);
        EXPECT_EQ(form.state().TempDir, QStringLiteral("/tmp/"));
    }
}

TEST_F(FormLifecycleTest, RealRandomSourceNeverLeavesTheDesignedCaption)
{
    StartUpEnvironment e = StartUpEnvironment::system(nullptr);
    e.executablePath = appDir + QStringLiteral("vidlark");
    std::map<QString, int> seen;
    for (int i = 0; i < 400; ++i) {
        const int digit = e.randomDigit();
        ASSERT_GE(digit, 0);
        ASSERT_LE(digit, 9);
        ++seen[FormLifecycle::Button1Caption(digit)];
    }
    EXPECT_EQ(seen.size(), 4u); // all four appear (chance of a miss is below 1e-17)
    FormLifecycle::FormCreate(form, e);
    EXPECT_NE(form.Button1()->text(), QStringLiteral("Donate If You Like It!"));
}

TEST_F(FormLifecycleTest, SessionBusGivesLauncherProgress)
{
    bus = true;
    FormLifecycle::FormCreate(form, env());
    EXPECT_TRUE(form.SupportTaskBar());
    EXPECT_EQ(taskbarsMade, 1);
}

TEST_F(FormLifecycleTest, SettingsDecideTheFolderField)
{
    const QString saved = root.filePath(QStringLiteral("saved"));
    QDir().mkpath(saved);
    struct Case
    {
        const char *name;
        std::optional<QByteArray> file; // nothing: no settings file
        QString expected;
    };
    const Case cases[] = {
        {"no file", std::nullopt, documents},
        {"file without the key", QByteArray("[Main]\nOther=1\n"), documents},
        {"empty value", QByteArray("[Main]\nSavePath=\n"), documents},
        {"saved folder", keyFile(saved), saved},
        {"trailing delimiter kept", keyFile(saved + QLatin1Char('/')), saved + QLatin1Char('/')},
        {"folder gone", QByteArray("[Main]\nSavePath=/no/such/folder\n"), documents},
        {"a file, not a folder", keyFile(ini()), documents},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(ini());
        if (c.file)
            writeFile(ini(), *c.file);
        TMainForm fresh;
        FormLifecycle::FormCreate(fresh, env());
        EXPECT_EQ(fresh.DirectoryEdit()->text(), c.expected);
    }
}

TEST_F(FormLifecycleTest, CloseWritesTheFieldExactlyAndKeepsTheRestOfTheFile)
{
    writeFile(ini(), "; settings\n[Window]\nLeft=10\n[Main]\nSavePath=/old\nExtra=yes\n");
    FormLifecycle::FormCreate(form, env());
    form.DirectoryEdit()->setText(QStringLiteral("/media/Vidéos/"));
    FormLifecycle::FormCloseQuery(form);
    EXPECT_EQ(form.state().DownloadState, dsClosing);
    EXPECT_EQ(readFile(ini()), QStringLiteral("; settings\n[Window]\nLeft=10\n[Main]\nSavePath=/"
                                              "media/Vidéos/\nExtra=yes\n")
                                   .toUtf8());
    EXPECT_TRUE(boxes->shown.isEmpty());

    // An empty field is written as an empty value; the next start falls back.
    form.DirectoryEdit()->clear();
    FormLifecycle::FormCloseQuery(form);
    EXPECT_EQ(IniFile::readValue(ini(), QStringLiteral("Main"), QStringLiteral("SavePath")),
              QString());
}

TEST_F(FormLifecycleTest, FirstCloseCreatesTheFile)
{
    FormLifecycle::FormCreate(form, env());
    EXPECT_FALSE(QFile::exists(ini()));
    FormLifecycle::FormCloseQuery(form);
    EXPECT_EQ(readFile(ini()), keyFile(documents));
}

TEST_F(FormLifecycleTest, UnwritableSettingsShowOneErrorAndTheWindowStillCloses)
{
    FormLifecycle::FormCreate(form, env());
    // A folder where the file should be: no user, root included, can write it.
    ASSERT_TRUE(QDir().mkpath(ini()));
    TDownloadState stateDuringBox = dsIdle;
    boxes->onShow = [&] { stateDuringBox = form.state().DownloadState; };
    form.setCloseQuery([this] { FormLifecycle::FormCloseQuery(form); });
    form.show();
    EXPECT_TRUE(form.close());
    ASSERT_EQ(boxes->shown.size(), 1);
    EXPECT_TRUE(boxes->shown.first().startsWith(QStringLiteral("Error: ")));
    EXPECT_TRUE(boxes->shown.first().contains(QStringLiteral("Vidlark.ini")));
    EXPECT_EQ(stateDuringBox, dsClosing);
    EXPECT_FALSE(form.isVisible());
}

// Ended by the session (SIGTERM), with nobody to answer a box: logged, and closed.
TEST_F(FormLifecycleTest, AnUnattendedCloseLogsAFailedSaveAndShowsNoBox)
{
    FormLifecycle::FormCreate(form, env());
    ASSERT_TRUE(QDir().mkpath(ini()));
    static QStringList logged;
    logged.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext &, const QString &text) { logged << text; });
    form.setCloseQuery([this] { FormLifecycle::FormCloseQuery(form); });
    form.show();
    form.closeUnattended();
    qInstallMessageHandler(previous);
    EXPECT_TRUE(boxes->shown.isEmpty());
    ASSERT_EQ(logged.size(), 1);
    EXPECT_TRUE(logged.first().contains(QStringLiteral("Vidlark.ini")));
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.state().DownloadState, dsClosing);
}

TEST_F(FormLifecycleTest, LeftoverConverterCopyIsRemoved)
{
    writeFile(appDir + QStringLiteral("ffmpeg.exe"), "old converter");
    writeFile(appDir + QStringLiteral("ffmpeg"), "not ours");
    FormLifecycle::FormCreate(form, env());
    EXPECT_FALSE(QFile::exists(appDir + QStringLiteral("ffmpeg.exe")));
    EXPECT_TRUE(QFile::exists(appDir + QStringLiteral("ffmpeg")));
}

// The places an installed program is given: settings under the config
// folder, the converter copy in a private folder of its own.
TEST_F(FormLifecycleTest, InstalledProgramKeepsItsSettingsUnderTheConfigFolder)
{
    const QString settings = root.filePath(QStringLiteral("config/Vidlark/Vidlark.ini"));
    const QString converterDir = root.filePath(QStringLiteral("run/vidlark/"));
    const QString saved = root.filePath(QStringLiteral("saved"));
    ASSERT_TRUE(QDir().mkpath(converterDir));
    ASSERT_TRUE(QDir().mkpath(saved));
    writeFile(converterDir + QStringLiteral("ffmpeg.exe"), "left by an earlier run");
    writeFile(appDir + QStringLiteral("ffmpeg.exe"), "beside the program");
    StartUpEnvironment e = env();
    QStringList decidedFor;
    e.decidePlaces = [&](const QString &folder) {
        decidedFor << folder;
        return ProgramPlaces{false, settings, converterDir, {}, {}};
    };

    FormLifecycle::FormCreate(form, e);
    EXPECT_EQ(decidedFor, QStringList{QDir::cleanPath(appDir)});
    EXPECT_EQ(form.state().SettingsPath, settings);
    EXPECT_EQ(form.state().ConverterDir, converterDir);
    EXPECT_FALSE(QFile::exists(converterDir + QStringLiteral("ffmpeg.exe")));
    EXPECT_TRUE(QFile::exists(appDir + QStringLiteral("ffmpeg.exe")));
    EXPECT_EQ(folderField(), documents);

    // The first close makes the folder of the settings file.
    form.DirectoryEdit()->setText(saved);
    FormLifecycle::FormCloseQuery(form);
    EXPECT_TRUE(boxes->shown.isEmpty()) << boxes->shown.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(readFile(settings), keyFile(saved));
    EXPECT_FALSE(QFile::exists(ini()));

    TMainForm next;
    FormLifecycle::FormCreate(next, e);
    EXPECT_EQ(next.DirectoryEdit()->text(), saved);
}

TEST_F(FormLifecycleTest, NotifyKeyAndTheBusDecideTheNotifications)
{
    struct Case
    {
        const char *name;
        std::optional<QByteArray> file;
        bool bus;
        int made;
    };
    const Case cases[] = {
        {"no settings file", std::nullopt, true, 1},
        {"no key", QByteArray("[Main]\nSavePath=\n"), true, 1},
        {"Notify=1", QByteArray("[Main]\nNotify=1\n"), true, 1},
        {"Notify=0", QByteArray("[Main]\nNotify=0\n"), true, 0},
        {"Notify = 0 with blanks", QByteArray("[main]\n notify = 0 \n"), true, 0},
        {"Notify=0 in another section", QByteArray("[Other]\nNotify=0\n"), true, 1},
        {"no session bus", std::nullopt, false, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(ini());
        if (c.file)
            writeFile(ini(), *c.file);
        bus = c.bus;
        notificationsMade = 0;
        TMainForm fresh;
        FormLifecycle::FormCreate(fresh, env());
        EXPECT_EQ(notificationsMade, c.made);
    }
}

TEST(StartUpEnvironmentSystem, DefaultSaveFolderIsDownloadsThenDocumentsThenHome)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    // No user-dirs.dirs there: the standard names under the home folder.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    const StartUpEnvironment e = StartUpEnvironment::system(nullptr);
    const QString downloads = home.filePath(QStringLiteral("Downloads"));
    const QString documents = home.filePath(QStringLiteral("Documents"));

    EXPECT_EQ(e.defaultSaveFolder(), QDir(home.path()).absolutePath());
    ASSERT_TRUE(QDir().mkpath(documents));
    EXPECT_EQ(e.defaultSaveFolder(), documents);
    ASSERT_TRUE(QDir().mkpath(downloads));
    EXPECT_EQ(e.defaultSaveFolder(), downloads);

    qputenv("HOME", oldHome);
    if (oldConfig.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", oldConfig);
}

} // namespace

TEST_F(FormLifecycleTest, TheExtractorSettingIsReadFromMain)
{
    EXPECT_EQ(FormLifecycle::ExtractorSetting(ini()), std::nullopt);
    const struct
    {
        QByteArray file;
        std::optional<QString> setting;
    } cases[] = {
        {"[Main]\nSavePath=/v\n", std::nullopt},
        {"[Main]\nExtractor=none\n", QStringLiteral("none")},
        {"[main]\nextractor = /opt/yt-dlp \n", QStringLiteral("/opt/yt-dlp")},
        {"[Other]\nExtractor=/x\n", std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        writeFile(ini(), c.file);
        EXPECT_EQ(FormLifecycle::ExtractorSetting(ini()), c.setting);
    }
}

TEST_F(FormLifecycleTest, TheConnectionsSettingIsReadFromMain)
{
    const struct
    {
        QByteArray file;
        int connections; // 0: each route's own
    } cases[] = {
        {"[Main]\nSavePath=/v\n", 0},    {"[Main]\nConnections=8\n", 8},
        {"[Main]\nConnections=17\n", 0}, {"[Main]\nConnections=many\n", 0},
        {"[Other]\nConnections=2\n", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        writeFile(ini(), c.file);
        EXPECT_EQ(FormLifecycle::JobSettingsOf(ini()).connections, c.connections);
    }
}
