#pragma once

#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

// A notification server of the test's own on a private bus: it answers Notify
// with fresh ids, keeps every call, and sends the signals a real one would.
class FakeNotificationServer : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Call
    {
        QString appName;
        uint replacesId = 0;
        QString appIcon;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
        int timeout = 0;
        uint id = 0;
    };

    // Takes the service name and the object path on `bus`; false when it cannot.
    bool serve(QDBusConnection bus);
    void invokeAction(uint id, const QString &action);
    void close(uint id);

    QList<Call> calls;

public Q_SLOTS:
    uint Notify(const QString &appName, uint replacesId, const QString &appIcon,
                const QString &summary, const QString &body, const QStringList &actions,
                const QVariantMap &hints, int timeout);

private:
    void emitSignal(const QString &name, const QList<QVariant> &arguments);

    QDBusConnection m_bus{QString()};
    uint m_lastId = 0;
};
