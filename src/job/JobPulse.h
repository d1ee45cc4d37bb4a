#pragma once

// What a step asks of the job while it runs.
class JobPulse
{
public:
    virtual ~JobPulse() = default;
    // Stop was pressed or the window closed: the step ends at its next chance.
    virtual bool windingDown() const = 0;
    // The window was closed: a download then never counts as done.
    virtual bool closing() const = 0;
    // One pass of the window's events; a Stop or a close may run inside it.
    virtual void pass() = 0;
};
