#pragma once

#include <QString>

// The status line, the status panel and the elapsed-time panel with its timer.
// Only the status line is shown by every front end.
class StatusTexts
{
public:
    virtual ~StatusTexts() = default;
    virtual void setStatusLine(const QString &text) = 0;
    virtual void setStatusPanel(const QString &) {}
    virtual void setElapsedPanel(const QString &) {}
    // While on, the timer asks for the elapsed time once a second.
    virtual void setTimerEnabled(bool) {}
};
