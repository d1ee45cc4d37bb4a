#pragma once

#include "window/DesktopEntry.h"
#include "window/TaskbarProgress.h"

#include <QDBusConnection>
#include <QString>

#include <optional>

// Launcher progress over D-Bus: the "Update" signal of
// com.canonical.Unity.LauncherEntry, which KDE Plasma, Dash to Dock, Plank and
// other docks show on the program's launcher icon. Both active states show
// progress (the protocol has no paused colour); no progress hides it.
class LauncherEntryProgress : public TaskbarProgress
{
public:
    // The installed desktop file's name: docks match the signal to that entry.
    static constexpr char AppUri[] = "application://" VIDLARK_APP_ID ".desktop";
    static constexpr char Interface[] = "com.canonical.Unity.LauncherEntry";
    static constexpr char ObjectPath[] = "/com/canonical/unity/launcherentry/vidlark";
    static constexpr char Signal[] = "Update";

    explicit LauncherEntryProgress(const QDBusConnection &bus);

    void SetProgressState(State state) override;
    void SetProgressValue(quint64 completed, quint64 total) override;

private:
    struct Shown
    {
        bool visible = false;
        double progress = 0;
    };

    void show(bool visible, double progress);

    QDBusConnection m_bus;
    double m_progress = 0; // last value set, shown again when a state switches the display on
    std::optional<Shown> m_lastSent;
};
