#pragma once

#include <QtGlobal>

#include <memory>

class QDBusConnection;

// Progress shown on the program's launcher entry (the taskbar button of other
// systems). SetProgressState comes first where both are set.
class TaskbarProgress
{
public:
    enum class State
    {
        NoProgress,
        Normal,
        Paused
    };

    virtual ~TaskbarProgress() = default;
    virtual void SetProgressState(State state) = 0;
    virtual void SetProgressValue(quint64 completed, quint64 total) = 0;

    // The launcher backend on the user's session bus; null when there is no
    // session bus, and then nothing is shown beyond the window.
    static std::unique_ptr<TaskbarProgress> Create();
    // The same on a given connection: null when it is not connected.
    static std::unique_ptr<TaskbarProgress> Create(const QDBusConnection &bus);
};
