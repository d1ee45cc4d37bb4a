#include "steps/TargetFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>

TargetFile::TargetFile(QString path)
    : m_file(std::move(path))
{}

TargetFile::~TargetFile()
{
    finish();
}

bool TargetFile::bodyBegins(qint64 announced)
{
    if (m_created)
        return false;
    // Removing first gives a new file even when the old one is a link or is
    // open in a player; a name that cannot be removed cannot be created either.
    QFile::remove(m_file.fileName());
    if (!m_file.open(QIODevice::ReadWrite | QIODevice::NewOnly | QIODevice::Unbuffered))
        return false;
    m_created = true;
    if (::flock(m_file.handle(), LOCK_EX | LOCK_NB) != 0)
        return false;
    if (announced > 0) {
        const int error = ::posix_fallocate(m_file.handle(), 0, announced);
        if (error == ENOSPC || error == EFBIG)
            return false;
        // A file system without preallocation still gets the announced length.
        if (error != 0 && !m_file.resize(announced))
            return false;
    }
    return true;
}

bool TargetFile::write(const char *data, qint64 size)
{
    if (!m_file.isOpen() || m_file.write(data, size) != size)
        return false;
    m_written += size;
    return true;
}

bool TargetFile::finish()
{
    if (!m_file.isOpen())
        return true;
    const bool cut = m_file.resize(m_written);
    m_file.close();
    return cut;
}
