#pragma once

#include <QString>

// Locks the inputs while a job runs. A front end without controls to lock
// keeps the defaults: nothing to lock, but the pauses are real.
class InputLock
{
public:
    virtual ~InputLock() = default;
    // The six job inputs: folder field, link field, Browse, format list and both convert boxes.
    virtual void setInputsEnabled(bool) {}
    virtual void setConvertBoxesEnabled(bool) {}
    virtual void setStartButtonCaption(const QString &) {}
    // A plain sleep: no events are handled.
    virtual void blockThread(int milliseconds);
};
