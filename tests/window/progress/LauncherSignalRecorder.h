#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QList>
#include <QObject>
#include <QVariantMap>

// Listens on a bus for the launcher-entry Update signals, from anyone, and
// keeps them in order. A marker signal that the sender emits after its last
// Update tells when everything before it has arrived.
class LauncherSignalRecorder : public QObject
{
    Q_OBJECT

public:
    struct Update
    {
        QString path;
        QString appUri;
        QString signature;
        QVariantMap properties;
    };

    static constexpr char MarkerInterface[] = "org.vidlark.Test";
    static constexpr char MarkerSignal[] = "Marker";

    // False when the match rules could not be set up.
    bool listen(QDBusConnection bus);
    // Emits the marker on `sender` and waits (with a failure guard) until it comes back.
    bool waitForMarker(QDBusConnection sender);

    QList<Update> updates;

public Q_SLOTS:
    void onUpdate(const QDBusMessage &message);
    void onMarker();

private:
    bool m_markerSeen = false;
};
