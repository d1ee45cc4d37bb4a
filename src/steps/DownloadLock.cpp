#include "steps/DownloadLock.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

DownloadLock::DownloadLock(QString path)
    : m_path(std::move(path))
{}

DownloadLock::Taken DownloadLock::take()
{
    const QByteArray path = QFile::encodeName(m_path);
    // A file that was renamed away between the open and the lock is another
    // download's finished target: start over with what the path names now.
    for (int round = 0; round < 8; ++round) {
        struct stat info = {};
        if (::lstat(path.constData(), &info) == 0) {
            if (S_ISDIR(info.st_mode))
                return Taken::IsFolder;
            if (!S_ISREG(info.st_mode) || info.st_nlink != 1)
                ::unlink(path.constData());
        }
        m_fd.reset(
            ::open(path.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (!m_fd && errno == EEXIST)
            m_fd.reset(::open(path.constData(), O_RDWR | O_NOFOLLOW | O_CLOEXEC));
        if (!m_fd)
            return errno == EISDIR ? Taken::IsFolder : Taken::Failed;
        if (::fstat(m_fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
            m_fd.reset();
            return Taken::Failed;
        }
        if (m_beforeLock)
            m_beforeLock();
        if (::flock(m_fd.get(), LOCK_EX | LOCK_NB) != 0) {
            const bool busy = errno == EWOULDBLOCK;
            m_fd.reset();
            return busy ? Taken::InUse : Taken::Failed;
        }
        struct stat now = {};
        if (::lstat(path.constData(), &now) == 0 && now.st_dev == info.st_dev &&
            now.st_ino == info.st_ino)
            return Taken::Locked;
        m_fd.reset();
    }
    return Taken::InUse;
}
