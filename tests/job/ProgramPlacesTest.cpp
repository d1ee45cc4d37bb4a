#include "job/ProgramPlaces.h"

#include "job/PlacesEnvironment.h"
#include "job/ProgramState.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// A home, a program folder and XDG folders in a scratch folder. Writability is
// the fake's: the tests run as root, whom no permission bit stops.
class ProgramPlacesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        for (const char *folder : {"home", "bin", "run", "config", "cache"})
            ASSERT_TRUE(QDir(root.path()).mkpath(QString::fromLatin1(folder)));
    }

    QString at(const char *path) const { return root.filePath(QString::fromLatin1(path)); }

    PlacesEnvironment env(const QMap<QString, QString> &variables = {}) const
    {
        PlacesEnvironment e;
        e.appDir = at("bin");
        e.homePath = at("home");
        for (auto it = variables.begin(); it != variables.end(); ++it)
            e.variables.insert(it.key(), it.value());
        e.isWritable = [this](const QString &path) {
            return !readOnly.contains(QDir::cleanPath(path));
        };
        return e;
    }

    void programFolderReadOnly() { readOnly.insert(at("bin")); }

    static int modeOf(const QString &path)
    {
        struct stat info = {};
        return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777)
                                                                       : -1;
    }

    QTemporaryDir root;
    QSet<QString> readOnly;
};

TEST_F(ProgramPlacesTest, WritableProgramFolderKeepsEverythingBesideTheProgram)
{
    const ProgramPlaces places =
        ProgramPlaces::decide(env({{QStringLiteral("XDG_CONFIG_HOME"), at("config")},
                                   {QStringLiteral("XDG_RUNTIME_DIR"), at("run")}}));
    EXPECT_TRUE(places.portable);
    EXPECT_EQ(places.settingsPath, at("bin") + QStringLiteral("/Vidlark.ini"));
    EXPECT_EQ(places.converterDir, at("bin") + QLatin1Char('/'));
    // Nothing is made under the user's folders.
    EXPECT_FALSE(QFileInfo::exists(at("run/vidlark")));
}

// The managed extractor copy goes where the settings go; the help page lies
// where the layout put it, whatever the mode.
TEST_F(ProgramPlacesTest, TheExtractorCopyAndTheHelpPageFollowTheModeAndTheLayout)
{
    ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("data")));
    struct Case
    {
        const char *name;
        bool installed;
        bool readOnlyFolder;
        QMap<QString, QString> variables;
        QString extractor, help;
    };
    const QString prefixHelp =
        QDir::cleanPath(at("bin") + QStringLiteral("/../share/doc/vidlark/help.html"));
    const Case cases[] = {
        {"portable", false, false, {}, at("bin/extractor/yt-dlp"), at("bin/help.html")},
        {"a read-only folder",
         false,
         true,
         {},
         at("home/.local/share/vidlark/yt-dlp"),
         at("bin/help.html")},
        {"installed",
         true,
         false,
         {{QStringLiteral("XDG_DATA_HOME"), at("data")}},
         at("data/vidlark/yt-dlp"),
         prefixHelp},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        readOnly.clear();
        if (c.readOnlyFolder)
            programFolderReadOnly();
        QMap<QString, QString> variables = c.variables;
        variables.insert(QStringLiteral("XDG_RUNTIME_DIR"), at("run"));
        PlacesEnvironment e = env(variables);
        e.installedLayout = c.installed;
        const ProgramPlaces places = ProgramPlaces::decide(e);
        EXPECT_EQ(places.extractorPath, c.extractor);
        EXPECT_EQ(places.helpPage, c.help);
    }
    // Deciding makes nothing for the extractor: its update does.
    EXPECT_FALSE(QFileInfo::exists(at("data/vidlark")));
    EXPECT_FALSE(QFileInfo::exists(at("home/.local")));
}

TEST_F(ProgramPlacesTest, SettingsFileBesideAReadOnlyProgramDecidesByItsOwnRights)
{
    programFolderReadOnly();
    const QString ini = at("bin/Vidlark.ini");
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    struct Case
    {
        const char *name;
        bool iniWritable;
        bool portable;
    };
    for (const Case &c : {Case{"writable settings file", true, true},
                          Case{"read-only settings file", false, false}}) {
        SCOPED_TRACE(c.name);
        readOnly.remove(ini);
        if (!c.iniWritable)
            readOnly.insert(ini);
        const ProgramPlaces places =
            ProgramPlaces::decide(env({{QStringLiteral("XDG_CONFIG_HOME"), at("config")}}));
        EXPECT_EQ(places.portable, c.portable);
        EXPECT_EQ(places.settingsPath,
                  c.portable ? ini : at("config") + QStringLiteral("/Vidlark/Vidlark.ini"));
    }
}

// An installed program that may write its folder (root, a prefix of the
// user's own) keeps out of it; only a settings file already there says otherwise.
TEST_F(ProgramPlacesTest, AnInstalledProgramKeepsOutOfItsFolderEvenWhereItMayWrite)
{
    const QString ini = at("bin/Vidlark.ini");
    struct Case
    {
        const char *name;
        bool installed;
        bool iniThere;
        bool portable;
    };
    for (const Case &c : {Case{"built, writable folder", false, false, true},
                          Case{"installed, writable folder", true, false, false},
                          Case{"installed, settings file beside it", true, true, true}}) {
        SCOPED_TRACE(c.name);
        QFile::remove(ini);
        if (c.iniThere) {
            QFile file(ini);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        PlacesEnvironment e = env({{QStringLiteral("XDG_CONFIG_HOME"), at("config")},
                                   {QStringLiteral("XDG_RUNTIME_DIR"), at("run")}});
        e.installedLayout = c.installed;
        const ProgramPlaces places = ProgramPlaces::decide(e);
        EXPECT_EQ(places.portable, c.portable);
        EXPECT_EQ(places.settingsPath,
                  c.portable ? ini : at("config") + QStringLiteral("/Vidlark/Vidlark.ini"));
        EXPECT_EQ(places.converterDir, c.portable ? at("bin/") : at("run/vidlark/"));
    }
}

TEST_F(ProgramPlacesTest, InstalledModeFollowsTheXdgVariables)
{
    programFolderReadOnly();
    struct Case
    {
        const char *name;
        QMap<QString, QString> variables;
        QString settings;
        QString converter;
    };
    const QString config = QStringLiteral("XDG_CONFIG_HOME");
    const QString runtime = QStringLiteral("XDG_RUNTIME_DIR");
    const QString cache = QStringLiteral("XDG_CACHE_HOME");
    const Case cases[] = {
        {"all set",
         {{config, at("config")}, {runtime, at("run")}, {cache, at("cache")}},
         at("config/Vidlark/Vidlark.ini"),
         at("run/vidlark/")},
        {"no runtime folder",
         {{config, at("config")}, {cache, at("cache")}},
         at("config/Vidlark/Vidlark.ini"),
         at("cache/vidlark/")},
        {"nothing set", {}, at("home/.config/Vidlark/Vidlark.ini"), at("home/.cache/vidlark/")},
        {"relative paths are ignored",
         {{config, QStringLiteral("config")},
          {runtime, QStringLiteral("run")},
          {cache, QStringLiteral("cache")}},
         at("home/.config/Vidlark/Vidlark.ini"),
         at("home/.cache/vidlark/")},
        {"runtime folder that is a file",
         {{runtime, at("home/a-file")}, {cache, at("cache")}},
         at("home/.config/Vidlark/Vidlark.ini"),
         at("cache/vidlark/")},
    };
    QFile file(at("home/a-file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const ProgramPlaces places = ProgramPlaces::decide(env(c.variables));
        EXPECT_FALSE(places.portable);
        EXPECT_EQ(places.settingsPath, c.settings);
        EXPECT_EQ(places.converterDir, c.converter);
        // Only the converter folder is made, only we may enter it; the settings
        // folder waits for the first save.
        EXPECT_EQ(modeOf(c.converter), 0700);
        EXPECT_FALSE(QFileInfo::exists(QFileInfo(c.settings).absolutePath()));
    }
}

TEST_F(ProgramPlacesTest, ConverterFolderIsTakenBackOrPassedOver)
{
    programFolderReadOnly();
    const auto variables = QMap<QString, QString>{{QStringLiteral("XDG_RUNTIME_DIR"), at("run")},
                                                  {QStringLiteral("XDG_CACHE_HOME"), at("cache")}};

    // An existing folder of ours that others could enter is closed again.
    ASSERT_TRUE(QDir().mkpath(at("run/vidlark")));
    ASSERT_EQ(::chmod(QFile::encodeName(at("run/vidlark")).constData(), 0755), 0);
    EXPECT_EQ(ProgramPlaces::decide(env(variables)).converterDir, at("run/vidlark/"));
    EXPECT_EQ(modeOf(at("run/vidlark")), 0700);

    // A link in its place could lead anywhere: the next folder is used.
    ASSERT_TRUE(QDir(at("run/vidlark")).removeRecursively());
    ASSERT_TRUE(QFile::link(at("home"), at("run/vidlark")));
    const int homeMode = modeOf(at("home"));
    ASSERT_NE(homeMode, 0700);
    EXPECT_EQ(ProgramPlaces::decide(env(variables)).converterDir, at("cache/vidlark/"));
    EXPECT_EQ(modeOf(at("home")), homeMode); // nothing done through the link
}

TEST(ProgramStateStart, ConverterFolderIsThePlacesOrTheProgramFolder)
{
    ProgramState installed;
    StartProgramState(installed, QStringLiteral("/usr/bin"), QStringLiteral("/tmp"),
                      {false, QStringLiteral("/home/u/.config/Vidlark/Vidlark.ini"),
                       QStringLiteral("/run/user/1000/vidlark"),
                       QStringLiteral("/home/u/.local/share/vidlark/yt-dlp"),
                       QStringLiteral("/usr/share/doc/vidlark/help.html")});
    EXPECT_EQ(installed.AppDir, QStringLiteral("/usr/bin/"));
    EXPECT_EQ(ConverterFolder(installed), QStringLiteral("/run/user/1000/vidlark/"));
    EXPECT_EQ(installed.SettingsPath, QStringLiteral("/home/u/.config/Vidlark/Vidlark.ini"));
    EXPECT_EQ(ManagedExtractor(installed), QStringLiteral("/home/u/.local/share/vidlark/yt-dlp"));
    EXPECT_EQ(HelpPage(installed), QStringLiteral("/usr/share/doc/vidlark/help.html"));

    ProgramState portable;
    StartProgramState(portable, QStringLiteral("/opt/vidlark"), QStringLiteral("/tmp"));
    EXPECT_EQ(ConverterFolder(portable), QStringLiteral("/opt/vidlark/"));
    EXPECT_EQ(portable.SettingsPath, QStringLiteral("/opt/vidlark/Vidlark.ini"));
    EXPECT_EQ(ManagedExtractor(portable), QStringLiteral("/opt/vidlark/extractor/yt-dlp"));
    EXPECT_EQ(HelpPage(portable), QStringLiteral("/opt/vidlark/help.html"));

    // A state filled by hand, as the job tests do, keeps the copy beside the program.
    ProgramState byHand;
    byHand.AppDir = QStringLiteral("/somewhere/");
    EXPECT_EQ(ConverterFolder(byHand), QStringLiteral("/somewhere/"));
    EXPECT_EQ(SettingsFile(byHand), QStringLiteral("/somewhere/Vidlark.ini"));
}

} // namespace
