#pragma once

#include "window/TaskbarProgress.h"

#include <QString>
#include <QStringList>

// A launcher display that writes down every call as one line of text.
class RecordingTaskbarProgress : public TaskbarProgress
{
public:
    QStringList calls;

    void SetProgressState(State state) override
    {
        static const char *const names[] = {"NoProgress", "Normal", "Paused"};
        calls.append(QStringLiteral("state ") + QLatin1String(names[int(state)]));
    }
    void SetProgressValue(quint64 completed, quint64 total) override
    {
        calls.append(QStringLiteral("value %1 of %2").arg(completed).arg(total));
    }
};
