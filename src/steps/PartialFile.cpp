#include "steps/PartialFile.h"

#include "net/HttpRanges.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <utility>

namespace {

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

bool isPlainFile(const QString &path, struct stat &info)
{
    return ::lstat(native(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

std::optional<ResumeRecord> readRecord(const QString &path)
{
    struct stat info = {};
    if (!isPlainFile(path, info) || info.st_size > 8192)
        return std::nullopt;
    const UniqueFd fd(::open(native(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd)
        return std::nullopt;
    QByteArray text(static_cast<qsizetype>(info.st_size), Qt::Uninitialized);
    const ssize_t got = ::read(fd.get(), text.data(), static_cast<size_t>(text.size()));
    if (got != static_cast<ssize_t>(text.size()))
        return std::nullopt;
    return parseResumeRecord(text);
}

bool writeAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t put = ::write(fd, data, static_cast<size_t>(size));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        data += put;
        size -= put;
    }
    return true;
}

bool writeAll(int fd, qint64 offset, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t put = ::pwrite(fd, data, static_cast<size_t>(size), offset);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        data += put;
        size -= put;
        offset += put;
    }
    return true;
}

} // namespace

QString PartialFile::besideTarget(const QString &target, const char *suffix)
{
    constexpr qsizetype MaxNameBytes = 255; // of one name on Linux file systems
    const QString tail = QLatin1String(suffix);
    const QString name = QFileInfo(target).fileName();
    if (name.toUtf8().size() + tail.size() <= MaxNameBytes)
        return target + tail;
    // Whole characters of the name, then a digest of all of it.
    const QByteArray digest =
        QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha1).toHex().left(8);
    const QString mark = QLatin1Char('~') + QString::fromLatin1(digest) + tail;
    QString head = name;
    QTextBoundaryFinder boundaries(QTextBoundaryFinder::Grapheme, head);
    boundaries.toEnd();
    while (!head.isEmpty() && head.toUtf8().size() + mark.size() > MaxNameBytes) {
        const qsizetype cut = boundaries.toPreviousBoundary();
        head.truncate(cut < 0 ? 0 : cut);
    }
    return target.left(target.size() - name.size()) + head + mark;
}

PartialFile::PartialFile(QString target, QString identity, bool mayResume)
    : m_target(std::move(target))
    , m_part(partPath(m_target))
    , m_identity(std::move(identity))
    , m_mayResume(mayResume)
    , m_lock(m_part)
{}

PartialFile::~PartialFile()
{
    keep();
}

void PartialFile::forget(const QString &target)
{
    ::unlink(native(recordPath(target)).constData());
}

// Whether the record describes bytes this job may continue. A stopped
// download stands under the target's name: it goes back to being the part,
// so that only a whole download ever stands there again; one that an earlier
// job moved back already (and was ended before it rewrote its record) is
// found as the part. A record that calls the target whole is never believed:
// nothing of a complete file is ever given up for it.
bool PartialFile::resumable(const std::optional<ResumeRecord> &record)
{
    if (!m_mayResume || !record || record->identity != m_identity)
        return false;
    if (!record->inTarget)
        return true;
    if (record->held <= 0 || record->held >= record->total)
        return false;
    struct stat target = {};
    struct stat part = {};
    const bool targetThere = ::lstat(native(m_target).constData(), &target) == 0;
    const bool partThere = ::lstat(native(m_part).constData(), &part) == 0;
    if (!targetThere)
        return partThere && S_ISREG(part.st_mode) && part.st_size == record->held;
    if (partThere || !S_ISREG(target.st_mode) || target.st_nlink != 1 ||
        target.st_size != record->held ||
        ::rename(native(m_target).constData(), native(m_part).constData()) != 0)
        return false;
    ResumeRecord moved = *record;
    moved.inTarget = false;
    writeRecord(moved);
    return true;
}

PartialFile::Opened PartialFile::open()
{
    const std::optional<ResumeRecord> record = readRecord(recordPath(m_target));
    const bool usable = resumable(record);
    switch (m_lock.take()) {
    case DownloadLock::Taken::Locked:
        break;
    case DownloadLock::Taken::InUse:
        return Opened::InUse;
    case DownloadLock::Taken::IsFolder:
        return Opened::IsFolder;
    case DownloadLock::Taken::Failed:
        return Opened::Failed;
    }
    struct stat info = {};
    if (::fstat(m_lock.fd(), &info) != 0) {
        m_lock.release();
        return Opened::Failed;
    }

    ByteExtents held;
    if (usable) {
        if (!record->extents.isEmpty()) {
            held = ByteExtents(record->extents);
            held.cutAt(info.st_size);
        } else {
            // Bytes past what the record last saw were not vouched for.
            qint64 from = info.st_size;
            if (record->held >= 0 && record->held < from)
                from = record->held;
            held.add(0, from);
        }
        if (held.holdsAll(record->total))
            held.clear();
    }
    if (!held.isEmpty()) {
        m_record = *record;
        m_record.inTarget = false;
        m_record.held = -1;
        m_record.extents.clear();
        m_resumable = true;
    } else {
        // What was there belongs to no stream this job can continue.
        forget(m_target);
    }
    const qint64 size = held.isEmpty() ? 0 : held.list().last().end;
    if (info.st_size != size && ::ftruncate(m_lock.fd(), size) != 0) {
        m_lock.release();
        return Opened::Failed;
    }
    m_extents = held;
    m_at = m_extents.prefix();
    return Opened::Ready;
}

void PartialFile::startAfresh()
{
    m_resumable = false;
    m_record = ResumeRecord();
    forget(m_target);
    truncateTo(0);
}

bool PartialFile::truncateTo(qint64 size)
{
    if (!m_lock || ::ftruncate(m_lock.fd(), size) != 0)
        return false;
    m_extents.cutAt(size);
    m_at = std::min(m_at, size);
    return true;
}

void PartialFile::cutToPrefix()
{
    truncateTo(m_extents.prefix());
}

bool PartialFile::responseBegins(const ResponseHead &head, qint64 offset)
{
    if (!m_lock)
        return false;
    // A body that cannot fit is refused before any of it is written.
    struct statvfs disk = {};
    const qint64 coming = head.chunked ? -1 : head.contentLength;
    const qint64 held = m_extents.held();
    const qint64 kept = offset > 0 ? held : 0;
    if (coming > 0 && ::fstatvfs(m_lock.fd(), &disk) == 0 &&
        qint64(disk.f_bavail) * qint64(disk.f_frsize) < coming - (held - kept)) {
        m_diskFull = true;
        return false;
    }
    if (offset > 0) {
        m_lengthKnown = true;
        m_at = offset;
        return m_resumable && offset == m_extents.prefix();
    }

    // A whole body: whatever was held goes.
    if (!m_extents.isEmpty() && !truncateTo(0))
        return false;
    m_at = 0;
    m_lengthKnown = !head.chunked && head.contentLength >= 0;
    m_record = {m_identity, resumeValidator(head), m_lengthKnown ? head.contentLength : -1, false,
                -1};
    // Without a validator and a length nothing tells a later answer continues this one.
    m_resumable = !m_record.validator.isEmpty() && m_record.total > 0;
    if (m_resumable)
        writeRecord(false, -1); // while the transfer runs it does not say how much is held
    else
        forget(m_target);
    return true;
}

bool PartialFile::write(const char *data, qint64 size)
{
    if (!writeAt(m_at, data, size))
        return false;
    m_at += size;
    return true;
}

bool PartialFile::writeAt(qint64 offset, const char *data, qint64 size)
{
    if (!m_lock || !writeAll(m_lock.fd(), offset, data, size)) {
        m_diskFull = m_diskFull || errno == ENOSPC || errno == EDQUOT;
        return false;
    }
    m_extents.add(offset, offset + size);
    return true;
}

bool PartialFile::checkpoint()
{
    return m_lock && m_resumable && ::fdatasync(m_lock.fd()) == 0 &&
           writeRecord(false, m_extents.prefix());
}

bool PartialFile::complete(bool stopped)
{
    if (!m_lock || (!stopped && !holdsAll()))
        return false;
    // A stopped download keeps only what plays from the start.
    const qint64 held = m_extents.prefix();
    if (stopped && m_extents.held() != held && !truncateTo(held)) {
        keep();
        return false;
    }
    if (::fdatasync(m_lock.fd()) != 0 ||
        ::rename(native(m_part).constData(), native(m_target).constData()) != 0) {
        keep();
        return false;
    }
    if (stopped && m_resumable && held < m_record.total)
        writeRecord(true, held);
    else
        forget(m_target);
    m_lock.release();
    return true;
}

void PartialFile::keep()
{
    if (!m_lock)
        return;
    if (m_extents.isEmpty()) {
        // Nothing arrived: nothing to keep or to resume.
        ::unlink(native(m_part).constData());
        forget(m_target);
    } else if (m_resumable && ::fdatasync(m_lock.fd()) == 0) {
        // The record vouches for the bytes only once they are on disk.
        writeRecord(false, m_extents.prefix());
    }
    m_lock.release();
}

bool PartialFile::writeRecord(bool inTarget, qint64 held)
{
    ResumeRecord record = m_record;
    record.inTarget = inTarget;
    record.held = held;
    // Bytes past a gap are listed; a stopped download under the target has none.
    if (!inTarget && held >= 0 && m_extents.held() != held)
        record.extents = m_extents.list();
    return writeRecord(record);
}

bool PartialFile::writeRecord(const ResumeRecord &record)
{
    const QByteArray text = formatResumeRecord(record);
    const QByteArray path = native(recordPath(m_target));
    const QByteArray fresh = native(besideTarget(m_target, ".resume.new"));
    ::unlink(fresh.constData());
    UniqueFd fd(
        ::open(fresh.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (!fd)
        return false;
    const bool written =
        writeAll(fd.get(), text.constData(), text.size()) && ::fdatasync(fd.get()) == 0;
    fd.reset();
    if (!written || ::rename(fresh.constData(), path.constData()) != 0) {
        ::unlink(fresh.constData());
        return false;
    }
    return true;
}
