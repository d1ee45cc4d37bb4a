#pragma once

#include "steps/UniqueFd.h"

#include <QString>

#include <functional>

// NAME.part opened for writing and locked for as long as a download of NAME
// runs, whichever route fetches it: a second program saving the same name
// finds the lock. The file is made without following links; a link or
// anything but a plain file of that name makes way for a new one.
class DownloadLock
{
public:
    enum class Taken
    {
        Locked,
        InUse,    // another program holds the lock
        IsFolder, // a folder stands at the path
        Failed,   // the folder does not take the file
    };

    explicit DownloadLock(QString path);

    Taken take();
    int fd() const { return m_fd.get(); }
    explicit operator bool() const { return bool(m_fd); }
    // Unlocks and closes; the file stays.
    void release() { m_fd.reset(); }

    // Runs between opening the file and locking it, where another program's
    // download may finish and rename the file away (tests play that program).
    void setBeforeLock(std::function<void()> hook) { m_beforeLock = std::move(hook); }

private:
    QString m_path;
    UniqueFd m_fd;
    std::function<void()> m_beforeLock;
};
