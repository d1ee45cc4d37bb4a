#include "steps/PartialFile.h"

#include "net/HttpRanges.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QTextBoundaryFinder>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
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
{}

PartialFile::~PartialFile()
{
    keep();
}

void PartialFile::forget(const QString &target)
{
    ::unlink(native(recordPath(target)).constData());
}

PartialFile::Opened PartialFile::open()
{
    const std::optional<ResumeRecord> record = readRecord(recordPath(m_target));
    bool usable = m_mayResume && record && record->identity == m_identity;
    struct stat info = {};
    // A stopped download stands under the target's name: it goes back to
    // being the part, so that only a whole download ever stands there again.
    if (usable && record->inTarget) {
        usable = isPlainFile(m_target, info) && info.st_nlink == 1 &&
                 info.st_size == record->held && ::lstat(native(m_part).constData(), &info) != 0 &&
                 ::rename(native(m_target).constData(), native(m_part).constData()) == 0;
    }

    // Only a plain file of our own is continued; a link or anything else of
    // that name makes way for a new file.
    if (::lstat(native(m_part).constData(), &info) == 0 &&
        (!S_ISREG(info.st_mode) || info.st_nlink != 1)) {
        ::unlink(native(m_part).constData());
        usable = false;
    }
    m_fd.reset(::open(native(m_part).constData(),
                      O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (!m_fd && errno == EEXIST)
        m_fd.reset(::open(native(m_part).constData(), O_RDWR | O_NOFOLLOW | O_CLOEXEC));
    if (!m_fd)
        return Opened::Failed;
    if (::fstat(m_fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        m_fd.reset();
        return Opened::Failed;
    }
    if (::flock(m_fd.get(), LOCK_EX | LOCK_NB) != 0) {
        const bool busy = errno == EWOULDBLOCK;
        m_fd.reset();
        return busy ? Opened::InUse : Opened::Failed;
    }

    qint64 from = 0;
    if (usable) {
        from = info.st_size;
        // Bytes past what the record last saw were not vouched for.
        if (record->held >= 0 && record->held < from)
            from = record->held;
        if (from >= record->total)
            from = 0;
    }
    if (from > 0) {
        m_record = *record;
        m_record.inTarget = false;
        m_record.held = -1;
        m_resumable = true;
    } else {
        // What was there belongs to no stream this job can continue.
        forget(m_target);
    }
    if ((info.st_size != from && ::ftruncate(m_fd.get(), from) != 0) ||
        ::lseek(m_fd.get(), from, SEEK_SET) != from) {
        m_fd.reset();
        return Opened::Failed;
    }
    m_held = from;
    return Opened::Ready;
}

void PartialFile::startAfresh()
{
    m_resumable = false;
    m_record = ResumeRecord();
    forget(m_target);
    if (m_fd && ::ftruncate(m_fd.get(), 0) == 0 && ::lseek(m_fd.get(), 0, SEEK_SET) == 0)
        m_held = 0;
}

bool PartialFile::responseBegins(const ResponseHead &head, qint64 offset)
{
    if (!m_fd)
        return false;
    if (offset > 0) {
        m_lengthKnown = true;
        return m_resumable && offset == m_held;
    }

    // A whole body: whatever was held goes.
    if (m_held > 0) {
        if (::ftruncate(m_fd.get(), 0) != 0 || ::lseek(m_fd.get(), 0, SEEK_SET) != 0)
            return false;
        m_held = 0;
    }
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
    if (!m_fd || !writeAll(m_fd.get(), data, size))
        return false;
    m_held += size;
    return true;
}

bool PartialFile::complete(bool stopped)
{
    if (!m_fd)
        return false;
    if (::fdatasync(m_fd.get()) != 0 ||
        ::rename(native(m_part).constData(), native(m_target).constData()) != 0) {
        keep();
        return false;
    }
    if (stopped && m_resumable && m_held < m_record.total)
        writeRecord(true, m_held);
    else
        forget(m_target);
    m_fd.reset();
    return true;
}

void PartialFile::keep()
{
    if (!m_fd)
        return;
    if (m_held == 0) {
        // Nothing arrived: nothing to keep or to resume.
        ::unlink(native(m_part).constData());
        forget(m_target);
    } else if (m_resumable && ::fdatasync(m_fd.get()) == 0) {
        // The record vouches for the bytes only once they are on disk.
        writeRecord(false, m_held);
    }
    m_fd.reset();
}

bool PartialFile::writeRecord(bool inTarget, qint64 held)
{
    ResumeRecord record = m_record;
    record.inTarget = inTarget;
    record.held = held;
    const QByteArray text = formatResumeRecord(record);
    const QByteArray path = native(recordPath(m_target));
    const QByteArray fresh = path + ".new";
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
