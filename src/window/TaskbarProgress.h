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
    // False for a session without a launcher to show progress on.
    virtual bool supported() const { return true; }

    // The launcher backend on the user's session bus; the do-nothing display
    // when there is no session bus.
    static std::unique_ptr<TaskbarProgress> Create();
    // The same on a given connection.
    static std::unique_ptr<TaskbarProgress> Create(const QDBusConnection &bus);
};

// No launcher progress: the bar alone shows it.
class NoTaskbarProgress final : public TaskbarProgress
{
public:
    void SetProgressState(State) override {}
    void SetProgressValue(quint64, quint64) override {}
    bool supported() const override { return false; }
};
