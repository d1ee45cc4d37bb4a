#include "window/LauncherEntryProgress.h"

#include "LauncherSignalRecorder.h"
#include "PrivateSessionBus.h"
#include "window/AdvProgressBar.h"
#include "window/ProgressIndicators.h"

#include <QDBusConnection>
#include <QDir>

#include <gtest/gtest.h>
#include <memory>

namespace {

// What one Update signal said.
struct Shown
{
    double progress;
    bool visible;
};

class LauncherEntryProgressTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!PrivateSessionBus::DaemonInstalled())
            GTEST_SKIP() << "dbus-daemon is not installed";
        bus = std::make_unique<PrivateSessionBus>();
        ASSERT_FALSE(bus->address().isEmpty()) << bus->error().toStdString();
        sender = connect(QStringLiteral("vidlark-sender"));
        observer = connect(QStringLiteral("vidlark-observer"));
        ASSERT_TRUE(sender.isConnected()) << sender.lastError().message().toStdString();
        ASSERT_TRUE(observer.isConnected()) << observer.lastError().message().toStdString();
        ASSERT_TRUE(recorder.listen(observer));
    }

    QDBusConnection connect(const QString &name) { return bus->connect(name); }

    // Everything the observer saw, once the sender's marker has come through.
    std::vector<Shown> received()
    {
        EXPECT_TRUE(recorder.waitForMarker(sender)) << "signals did not arrive";
        std::vector<Shown> shown;
        for (const auto &update : recorder.updates) {
            EXPECT_EQ(update.appUri, QStringLiteral("application://org.vidlark.Vidlark.desktop"));
            EXPECT_EQ(update.signature, QStringLiteral("sa{sv}"));
            EXPECT_FALSE(update.path.isEmpty());
            const QVariant progress = update.properties.value(QStringLiteral("progress"));
            const QVariant visible = update.properties.value(QStringLiteral("progress-visible"));
            EXPECT_EQ(progress.typeId(), QMetaType::Double);
            EXPECT_EQ(visible.typeId(), QMetaType::Bool);
            shown.push_back({progress.toDouble(), visible.toBool()});
        }
        recorder.updates.clear();
        return shown;
    }

    static void expectShown(const std::vector<Shown> &actual, const std::vector<Shown> &expected)
    {
        ASSERT_EQ(actual.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "signal " << i);
            EXPECT_DOUBLE_EQ(actual[i].progress, expected[i].progress);
            EXPECT_EQ(actual[i].visible, expected[i].visible);
        }
    }

    std::unique_ptr<PrivateSessionBus> bus;
    QDBusConnection sender{QString()};
    QDBusConnection observer{QString()};
    LauncherSignalRecorder recorder;
};

TEST_F(LauncherEntryProgressTest, OneJobShowsDownloadThenConversionThenNothing)
{
    std::unique_ptr<TaskbarProgress> launcher = TaskbarProgress::Create(sender);
    ASSERT_TRUE(launcher->supported());
    TAdvProgressBar bar;
    ProgressIndicators indicators(bar, *launcher);
    ASSERT_TRUE(indicators.SupportTaskBar());

    indicators.BeginDownloadProgress();
    indicators.setBarPosition(0);
    indicators.SetProgressMaximum(4000);
    for (qint64 done : {1000, 2000, 4000})
        indicators.ShowTransferProgress(done, 4000);
    indicators.BeginConversionProgress();
    indicators.SetProgressMaximum(120);
    for (qint32 seconds : {30, 120})
        indicators.ShowConversionProgress(seconds, 120);
    indicators.EndTaskbarProgress();

    expectShown(received(), {{0, true},
                             {0.25, true},
                             {0.5, true},
                             {1, true},
                             {0, true}, // the conversion starts from empty, still shown
                             {0.25, true},
                             {1, true},
                             {0, false}});
}

TEST_F(LauncherEntryProgressTest, TransferWithoutSizeStaysAtTheStart)
{
    std::unique_ptr<TaskbarProgress> launcher = TaskbarProgress::Create(sender);
    ASSERT_TRUE(launcher->supported());
    TAdvProgressBar bar;
    ProgressIndicators indicators(bar, *launcher);
    indicators.BeginDownloadProgress();
    indicators.SetProgressMaximum(0);
    for (qint64 done = 32768; done <= 10 * 32768; done += 32768)
        indicators.ShowTransferProgress(done, 0);
    indicators.EndTaskbarProgress();
    expectShown(received(), {{0, true}, {0, false}});
}

TEST_F(LauncherEntryProgressTest, ManySmallStepsDoNotFloodTheBus)
{
    LauncherEntryProgress launcher(sender);
    const quint64 total = 1 << 20;
    for (quint64 done = 0; done <= total; done += 64) {
        launcher.SetProgressState(TaskbarProgress::State::Normal);
        launcher.SetProgressValue(done, total);
    }
    const std::vector<Shown> shown = received();
    // 16385 steps, at most one signal per quarter percent.
    ASSERT_FALSE(shown.empty());
    EXPECT_LE(shown.size(), 401u);
    EXPECT_GE(shown.size(), 400u);
    EXPECT_DOUBLE_EQ(shown.back().progress, 1.0);
    for (size_t i = 1; i < shown.size(); ++i)
        ASSERT_LT(shown[i - 1].progress, shown[i].progress);
}

TEST_F(LauncherEntryProgressTest, ValuesAreKeptWithinZeroAndOne)
{
    LauncherEntryProgress launcher(sender);
    launcher.SetProgressValue(10, 0);
    launcher.SetProgressValue(300, 200);
    launcher.SetProgressState(TaskbarProgress::State::NoProgress);
    launcher.SetProgressState(TaskbarProgress::State::Paused);
    expectShown(received(), {{0, true}, {1, true}, {0, false}, {0, true}});
}

TEST_F(LauncherEntryProgressTest, FactoryNeedsAConnectedBus)
{
    const QDBusConnection nowhere =
        bus->connect(QStringLiteral("vidlark-nowhere"),
                     QStringLiteral("unix:path=/nonexistent/vidlark-test-bus"));
    EXPECT_FALSE(nowhere.isConnected());
    EXPECT_FALSE(TaskbarProgress::Create(nowhere)->supported());
    EXPECT_TRUE(TaskbarProgress::Create(sender)->supported());
}

// The program's own factory reads the session bus from the environment. Only
// this test touches the process-wide session connection.
TEST_F(LauncherEntryProgressTest, SessionBusFromTheEnvironmentCarriesTheProgress)
{
    qputenv("DBUS_SESSION_BUS_ADDRESS", bus->address().toUtf8());
    std::unique_ptr<TaskbarProgress> launcher = TaskbarProgress::Create();
    if (!launcher->supported() || QDBusConnection::sessionBus().baseService().isEmpty())
        FAIL() << "session bus from the environment not connected";
    launcher->SetProgressState(TaskbarProgress::State::Normal);
    launcher->SetProgressValue(1, 4);
    // The marker goes out on the session connection so it follows the Update.
    EXPECT_TRUE(recorder.waitForMarker(QDBusConnection::sessionBus()));
    ASSERT_EQ(recorder.updates.size(), 2);
    EXPECT_DOUBLE_EQ(recorder.updates[1].properties.value(QStringLiteral("progress")).toDouble(),
                     0.25);
}

// Docks find the launcher entry by the desktop file's name, so the signals
// must name the file the install puts down.
TEST(LauncherEntryUri, NamesTheInstalledDesktopFile)
{
    const QDir applications(QStringLiteral(INSTALLED_DATADIR "/applications"));
    const QStringList installed =
        applications.entryList({QStringLiteral("*.desktop")}, QDir::Files);
    ASSERT_EQ(installed.size(), 1)
        << "expected one desktop file in " << applications.path().toStdString()
        << " (ctest's install_stage puts it there)";
    EXPECT_EQ(QLatin1String(LauncherEntryProgress::AppUri),
              QStringLiteral("application://") + installed.first());
    EXPECT_EQ(installed.first(), QStringLiteral("org.vidlark.Vidlark.desktop"));
}

} // namespace
