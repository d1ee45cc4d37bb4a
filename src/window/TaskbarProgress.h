#pragma once

#include <QtGlobal>

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
};
