#include "window/FreedesktopNotifications.h"

#include "FakeNotificationServer.h"
#include "PrivateSessionBus.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QDeadlineTimer>

#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr int WaitGuardMs = 10000; // failure guard only

// Handles events until `done` holds; false when the guard ran out first.
bool waitFor(const std::function<bool()> &done)
{
    const QDeadlineTimer guard(WaitGuardMs);
    while (!done() && !guard.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return done();
}

class FreedesktopNotificationsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!PrivateSessionBus::DaemonInstalled())
            GTEST_SKIP() << "dbus-daemon is not installed";
        bus = std::make_unique<PrivateSessionBus>();
        ASSERT_FALSE(bus->address().isEmpty()) << bus->error().toStdString();
        const QDBusConnection serverBus = connect(QStringLiteral("vidlark-notification-server"));
        ASSERT_TRUE(server.serve(serverBus)) << serverBus.lastError().message().toStdString();
        client = connect(QStringLiteral("vidlark-notifying-program"));
        ASSERT_TRUE(client.isConnected());
        notifications = FreedesktopNotifications::Create(
            client, [this](const QString &folder) { opened << folder; });
        ASSERT_TRUE(notifications->supported());
    }

    void TearDown() override { notifications.reset(); }

    QDBusConnection connect(const QString &name) { return bus->connect(name); }

    // Sends one notification and waits until the server has it; its id.
    uint notified(const QString &summary, const QString &body, const QString &folder)
    {
        const qsizetype before = server.calls.size();
        notifications->notify(summary, body, folder);
        EXPECT_TRUE(waitFor([&] { return server.calls.size() > before; }));
        return server.calls.isEmpty() ? 0 : server.calls.last().id;
    }

    // Waits for the folder a click opened, after whatever was sent before it.
    bool waitForOpened(qsizetype count)
    {
        return waitFor([&] { return opened.size() >= count; });
    }

    std::unique_ptr<PrivateSessionBus> bus;
    FakeNotificationServer server;
    QDBusConnection client{QString()};
    std::unique_ptr<DesktopNotifications> notifications;
    QStringList opened;
};

TEST_F(FreedesktopNotificationsTest, NotifyNamesTheDesktopEntryAndOffersTheFolder)
{
    notified(QStringLiteral("Download is complete"), QStringLiteral("Clip <1> & more.flv"),
             QStringLiteral("/videos"));
    ASSERT_EQ(server.calls.size(), 1);
    const FakeNotificationServer::Call &call = server.calls.first();
    EXPECT_EQ(call.appName, QStringLiteral("Vidlark"));
    EXPECT_EQ(call.replacesId, 0u);
    EXPECT_EQ(call.appIcon, QStringLiteral("org.vidlark.Vidlark"));
    EXPECT_EQ(call.summary, QStringLiteral("Download is complete"));
    // The body is markup to most servers: a file name must not become tags.
    EXPECT_EQ(call.body, QStringLiteral("Clip &lt;1&gt; &amp; more.flv"));
    EXPECT_EQ(call.actions,
              QStringList({QStringLiteral("default"), QStringLiteral("Open Folder")}));
    EXPECT_EQ(call.hints.value(QStringLiteral("desktop-entry")).toString(),
              QStringLiteral("org.vidlark.Vidlark"));
    EXPECT_EQ(call.timeout, -1);
}

TEST_F(FreedesktopNotificationsTest, ActionOpensTheFolderOfItsOwnNotificationOnly)
{
    const uint failed = notified(QStringLiteral("Unable to download this video."),
                                 QStringLiteral("No video to download."), QString());
    EXPECT_TRUE(server.calls.last().actions.isEmpty());
    const uint first = notified(QStringLiteral("Download is complete"), QStringLiteral("a.flv"),
                                QStringLiteral("/first"));
    const uint second = notified(QStringLiteral("Download is complete"), QStringLiteral("b.flv"),
                                 QStringLiteral("/second"));

    // Signals that open nothing, then one that does: once it has come, so have they.
    server.invokeAction(failed, QStringLiteral("default"));
    server.invokeAction(first + 1000, QStringLiteral("default")); // another program's
    server.invokeAction(first, QStringLiteral("other-action"));
    server.invokeAction(second, QStringLiteral("default"));
    ASSERT_TRUE(waitForOpened(1));
    EXPECT_EQ(opened, QStringList{QStringLiteral("/second")});

    // A closed notification's id means nothing any more.
    server.close(first);
    server.invokeAction(first, QStringLiteral("default"));
    server.invokeAction(second, QStringLiteral("default"));
    ASSERT_TRUE(waitForOpened(2));
    EXPECT_EQ(opened, QStringList({QStringLiteral("/second"), QStringLiteral("/second")}));
}

TEST(FreedesktopNotificationsFactory, NoBusNoNotifications)
{
    const QString name = QStringLiteral("vidlark-no-notification-bus");
    const QDBusConnection nowhere = QDBusConnection::connectToBus(
        QStringLiteral("unix:path=/nonexistent/vidlark-test-bus"), name);
    EXPECT_FALSE(nowhere.isConnected());
    bool opened = false;
    const auto notifications =
        FreedesktopNotifications::Create(nowhere, [&](const QString &) { opened = true; });
    EXPECT_FALSE(notifications->supported());
    notifications->notify(QStringLiteral("Download is complete"), QStringLiteral("a.flv"),
                          QStringLiteral("/videos"));
    EXPECT_FALSE(opened);
    QDBusConnection::disconnectFromBus(name);
}

} // namespace
