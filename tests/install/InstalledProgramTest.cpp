// The programs as a package installs them: from a prefix their user cannot
// write, with nothing but a fresh home folder to write in.
#include "FileContents.h"
#include "NoProxyEnvironment.h"
#include "SampleService.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

namespace {

const QString Stage = QStringLiteral(INSTALL_STAGE);
const QString BinDir = QStringLiteral(INSTALLED_BINDIR);
const QString ExampleLink = QStringLiteral("http://www.youtube.com/watch?v=vidlark0001");
constexpr int ProgramGuardMs = 60000; // failure guard only

// Every file and folder under `folder` with its size and modification time.
QStringList treeOf(const QString &folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        entries << QStringLiteral("%1 %2 %3")
                       .arg(info.filePath())
                       .arg(info.size())
                       .arg(info.lastModified().toMSecsSinceEpoch());
    }
    entries.sort();
    return entries;
}

// Adds or takes away the write bits of a whole tree.
void setWritable(const QString &folder, bool writable)
{
    QStringList paths{folder};
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        paths << it.next();
    const auto writeBits =
        QFile::WriteOwner | QFile::WriteUser | QFile::WriteGroup | QFile::WriteOther;
    for (const QString &path : paths) {
        if (QFileInfo(path).isSymLink())
            continue;
        const QFile::Permissions now = QFile::permissions(path);
        QFile::setPermissions(path, writable ? (now | QFile::WriteOwner) : (now & ~writeBits));
    }
}

class InstalledProgramTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFileInfo(BinDir + QStringLiteral("/vidlark")).isExecutable())
            << "nothing installed in " << Stage.toStdString();
        ASSERT_TRUE(home.isValid());
        clearProxyEnvironment();
        service.start();

        for (const char *folder : {"tmp", "run", "videos"})
            ASSERT_TRUE(QDir(home.path()).mkpath(QString::fromLatin1(folder)));
        // A runtime folder is the user's alone; Qt complains of any other.
        QFile::setPermissions(at("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        // Root writes anywhere, so the programs run as a user whom the
        // permissions hold back; that user owns the home folder.
        if (::geteuid() == 0) {
            const passwd *nobody = ::getpwnam("nobody");
            ASSERT_NE(nobody, nullptr);
            uid = nobody->pw_uid;
            gid = nobody->pw_gid;
            chownTree(home.path());
        }
        setWritable(Stage, false);
        stageBefore = treeOf(Stage);
    }

    void TearDown() override
    {
        if (!stageBefore.isEmpty()) {
            EXPECT_EQ(treeOf(Stage), stageBefore) << "something was written into the prefix";
        }
        setWritable(Stage, true);
        service.stop();
    }

    void chownTree(const QString &folder) const
    {
        QStringList paths{folder};
        QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            paths << it.next();
        for (const QString &path : paths)
            ASSERT_EQ(::lchown(QFile::encodeName(path).constData(), uid, gid), 0)
                << path.toStdString();
    }

    QString at(const char *path) const { return home.filePath(QString::fromLatin1(path)); }

    // A user's session reduced to what the programs read: no bus, no display,
    // every folder of theirs in the home folder.
    QProcessEnvironment environment() const
    {
        QProcessEnvironment e;
        e.insert(QStringLiteral("HOME"), home.path());
        e.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
        e.insert(QStringLiteral("TMPDIR"), at("tmp"));
        e.insert(QStringLiteral("XDG_RUNTIME_DIR"), at("run"));
        e.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        e.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                 QStringLiteral("unix:path=/nonexistent/vidlark-no-bus"));
        e.insert(QStringLiteral("http_proxy"), service.baseUrl());
        // The sanitizer build's settings reach the programs it built.
        const QProcessEnvironment outer = QProcessEnvironment::systemEnvironment();
        for (const QString &name : outer.keys())
            if (name.endsWith(QStringLiteral("SAN_OPTIONS")))
                e.insert(name, outer.value(name));
        return e;
    }

    // Starts an installed program (or any other) as the test's user, with
    // the variables of `extra` on top of the session's.
    void start(QProcess &process, const QString &program, const QStringList &arguments,
               const QProcessEnvironment &extra = {}) const
    {
        QProcessEnvironment e = environment();
        e.insert(extra);
        process.setProcessEnvironment(e);
        process.setWorkingDirectory(home.path());
        if (uid == ::geteuid()) {
            process.start(program, arguments);
        } else {
            process.start(QStringLiteral("setpriv"),
                          QStringList{QStringLiteral("--reuid=%1").arg(uid),
                                      QStringLiteral("--regid=%1").arg(gid),
                                      QStringLiteral("--clear-groups"), QStringLiteral("--"),
                                      program} +
                              arguments);
        }
        process.closeWriteChannel();
    }

    int finish(QProcess &process) const
    {
        if (!process.waitForFinished(ProgramGuardMs)) {
            process.kill();
            process.waitForFinished();
            ADD_FAILURE() << "the program did not finish";
        }
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    int run(const QString &program, const QStringList &arguments, QString *err = nullptr) const
    {
        QProcess process;
        start(process, program, arguments);
        const int code = finish(process);
        if (err)
            *err = QString::fromUtf8(process.readAllStandardError());
        return code;
    }

    // Whether the process has its own handler for `signal` yet (Linux keeps
    // the caught signals as a hex mask in its status file).
    static bool catches(qint64 pid, int signal)
    {
        QFile status(QStringLiteral("/proc/%1/status").arg(pid));
        if (!status.open(QIODevice::ReadOnly))
            return false;
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("SigCgt:"))
                return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signal - 1)) & 1u;
        return false;
    }

    // Runs the window until it has started, then closes it as a session's end does.
    int runWindowAndClose() const
    {
        QProcess window;
        window.setProcessChannelMode(QProcess::ForwardedChannels);
        start(window, BinDir + QStringLiteral("/vidlark"), {});
        if (!window.waitForStarted(ProgramGuardMs))
            return -1;
        // setpriv becomes the program: the same process all along.
        const QDeadlineTimer guard(ProgramGuardMs);
        while (!catches(window.processId(), SIGTERM) && !guard.hasExpired() &&
               window.state() == QProcess::Running)
            QThread::msleep(20);
        EXPECT_TRUE(catches(window.processId(), SIGTERM)) << "the window did not start";
        ::kill(pid_t(window.processId()), SIGTERM);
        return finish(window);
    }

    QTemporaryDir home;
    SampleService service;
    uid_t uid = ::geteuid();
    gid_t gid = ::getegid();
    QStringList stageBefore;
};

// A Wayland session (weston's headless compositor, no X server): the window
// opens, with the desktop entry's id as its app id, which the desktop's dock
// and task switcher match it by. Its protocol log says what it asked for.
TEST_F(InstalledProgramTest, WindowOpensOnWaylandUnderItsAppId)
{
    const QString weston = QStandardPaths::findExecutable(QStringLiteral("weston"));
    ASSERT_FALSE(weston.isEmpty()) << "weston is not installed (scripts/install-deps)";
    const QString socket = QStringLiteral("vidlark-wayland");
    QProcess compositor;
    compositor.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    start(compositor, weston,
          {QStringLiteral("--backend=headless-backend.so"), QStringLiteral("--socket=") + socket,
           QStringLiteral("--no-config"), QStringLiteral("--idle-time=0")});
    const QDeadlineTimer guard(ProgramGuardMs);
    while (!QFileInfo::exists(at("run/") + socket) && !guard.hasExpired() &&
           compositor.state() != QProcess::NotRunning)
        QThread::msleep(20);
    ASSERT_TRUE(QFileInfo::exists(at("run/") + socket)) << "weston did not start";

    QProcessEnvironment wayland;
    wayland.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    wayland.insert(QStringLiteral("WAYLAND_DISPLAY"), socket);
    wayland.insert(QStringLiteral("WAYLAND_DEBUG"), QStringLiteral("client"));
    // The sanitizer build: libwayland-client and Qt's Wayland plugin leave
    // allocations of their own at exit; the program's own leaks are checked
    // by every other run.
    if (const QString asan = qEnvironmentVariable("ASAN_OPTIONS"); !asan.isEmpty())
        wayland.insert(QStringLiteral("ASAN_OPTIONS"), asan + QStringLiteral(":detect_leaks=0"));
    QProcess window;
    start(window, BinDir + QStringLiteral("/vidlark"), {}, wayland);
    // The app id is set on the window's toplevel, which the compositor then configures.
    const QByteArray appId = R"(set_app_id("org.vidlark.Vidlark"))";
    QByteArray log;
    const auto shown = [&] {
        const qsizetype at = log.indexOf(appId);
        return at >= 0 && log.indexOf(".ack_configure(", at) >= 0;
    };
    while (!shown() && !guard.hasExpired() && window.state() != QProcess::NotRunning) {
        window.waitForReadyRead(100);
        log += window.readAllStandardError();
    }
    EXPECT_TRUE(shown()) << log.right(4000).toStdString();
    ::kill(pid_t(window.processId()), SIGTERM);
    EXPECT_EQ(finish(window), 0);
    compositor.terminate();
    finish(compositor);
}

TEST_F(InstalledProgramTest, PrefixIsReadOnlyToTheProgramsUser)
{
    EXPECT_EQ(run(QStringLiteral("test"), {QStringLiteral("-w"), BinDir}), 1);
    EXPECT_EQ(run(QStringLiteral("test"), {QStringLiteral("-w"), home.path()}), 0);
}

TEST_F(InstalledProgramTest, CliConvertsWithItsConverterCopyInTheRuntimeFolder)
{
    QString err;
    const int code = run(BinDir + QStringLiteral("/vidlark-cli"),
                         {QStringLiteral("--dir"), at("videos"), QStringLiteral("--convert"),
                          QStringLiteral("avi"), ExampleLink},
                         &err);
    EXPECT_EQ(code, 0) << err.toStdString();
    const QString converted = QStringLiteral("Vidlark Sample Clip_(360p).avi");
    EXPECT_EQ(QDir(at("videos")).entryList(QDir::Files), QStringList{converted});
    EXPECT_EQ(contentsOf(at("videos/") + converted).left(4), QByteArray("RIFF"));
    // The converter ran from a folder of the user's own, and is gone again.
    EXPECT_TRUE(QFileInfo(at("run/vidlark")).isDir());
    EXPECT_EQ(QDir(at("run/vidlark")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList());
    EXPECT_EQ(QDir(at("tmp")).entryList(QDir::Files), QStringList());
}

TEST_F(InstalledProgramTest, WindowKeepsItsSettingsUnderTheConfigFolder)
{
    ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("Downloads")));
    if (uid != ::geteuid())
        chownTree(at("Downloads"));
    const QString settings = at(".config/Vidlark/Vidlark.ini");

    // First run: no settings yet, so the downloads folder; the close writes it.
    EXPECT_EQ(runWindowAndClose(), 0);
    ASSERT_TRUE(QFileInfo::exists(settings));
    EXPECT_EQ(QSettings(settings, QSettings::IniFormat).value(QStringLiteral("Main/SavePath")),
              at("Downloads"));

    // A folder the user chose earlier comes back, and the rest of the file stays.
    {
        QSettings ini(settings, QSettings::IniFormat);
        ini.setValue(QStringLiteral("Main/SavePath"), at("videos"));
        ini.setValue(QStringLiteral("Main/Notify"), 0);
        ini.setValue(QStringLiteral("Other/Key"), QStringLiteral("kept"));
    }
    if (uid != ::geteuid())
        chownTree(at(".config"));
    EXPECT_EQ(runWindowAndClose(), 0);
    const QSettings after(settings, QSettings::IniFormat);
    EXPECT_EQ(after.value(QStringLiteral("Main/SavePath")), at("videos"));
    EXPECT_EQ(after.value(QStringLiteral("Main/Notify")).toString(), QStringLiteral("0"));
    EXPECT_EQ(after.value(QStringLiteral("Other/Key")), QStringLiteral("kept"));
    // Nothing of the window's beside the settings: no converter, no stray files.
    EXPECT_EQ(QDir(at("run/vidlark")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList());
}

// Root, or a user who installed into a prefix of their own, may write the
// program's folder: an installed program still keeps its files out of it.
TEST_F(InstalledProgramTest, AWritablePrefixStillGetsNothingWrittenIntoIt)
{
    setWritable(Stage, true);
    stageBefore = treeOf(Stage);
    uid = ::geteuid();
    gid = ::getegid();
    ASSERT_EQ(run(QStringLiteral("test"), {QStringLiteral("-w"), BinDir}), 0);

    QString err;
    EXPECT_EQ(run(BinDir + QStringLiteral("/vidlark-cli"),
                  {QStringLiteral("--dir"), at("videos"), QStringLiteral("--convert"),
                   QStringLiteral("avi"), ExampleLink},
                  &err),
              0)
        << err.toStdString();
    EXPECT_EQ(QDir(at("videos")).entryList(QDir::Files),
              QStringList{QStringLiteral("Vidlark Sample Clip_(360p).avi")});
    EXPECT_EQ(runWindowAndClose(), 0);
    EXPECT_TRUE(QFileInfo(at(".config/Vidlark/Vidlark.ini")).isFile());
    // TearDown finds the prefix as it was.
}

// The extractor's update as an installed program does it: into the user's
// data folder, never into the prefix; the next download runs that copy
// before yt-dlp on PATH. The help page lies where the window looks for it.
TEST_F(InstalledProgramTest, TheUpdatedExtractorGoesIntoTheDataFolderAndRunsFirst)
{
    EXPECT_TRUE(QFileInfo(QStringLiteral(INSTALLED_DATADIR "/doc/vidlark/help.html")).isFile());
    QString err;
    const QString cli = BinDir + QStringLiteral("/vidlark-cli");
    ASSERT_EQ(run(cli,
                  {QStringLiteral("--update-extractor"), QStringLiteral("--releases"),
                   service.baseUrl() + QStringLiteral("/releases/2099.01.01")},
                  &err),
              0)
        << err.toStdString();
    const QString managed = at(".local/share/vidlark/yt-dlp");
    EXPECT_TRUE(QFileInfo(managed).isExecutable());
    // A refused one exits with 1 and keeps it.
    EXPECT_EQ(run(cli, {QStringLiteral("--update-extractor"), QStringLiteral("--releases"),
                        service.baseUrl() + QStringLiteral("/releases/wrong-sum/2099.02.01")}),
              1);

    QProcess version;
    start(version, cli, {QStringLiteral("--version")});
    EXPECT_EQ(finish(version), 0);
    EXPECT_EQ(QString::fromUtf8(version.readAllStandardOutput()),
              QStringLiteral("vidlark-cli " VIDLARK_VERSION "\nyt-dlp 2099.01.01 (") + managed +
                  QStringLiteral(")\n"));

    EXPECT_EQ(run(cli,
                  {QStringLiteral("--dir"), at("videos"),
                   QStringLiteral("http://media.sample.test/pages/progressive")},
                  &err),
              0)
        << err.toStdString();
    EXPECT_EQ(QDir(at("videos")).entryList(QDir::Files),
              QStringList{QStringLiteral("Release Stand-in 2099.01.01_(360p).mp4")});
}

} // namespace
