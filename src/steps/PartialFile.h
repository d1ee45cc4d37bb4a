#pragma once

#include "net/HttpBodySink.h"
#include "net/HttpRanges.h"
#include "steps/DownloadLock.h"
#include "steps/ResumeRecord.h"

#include <QByteArray>
#include <QString>

// The file a download is written into until it is whole: NAME.part beside
// the target, with a record NAME.resume of what a later job needs to continue
// it. The target itself is touched only by the one rename that puts a done
// download in its place, so a failure never harms an older file of that name,
// and a body that ends before the whole length is no done download. The part
// is locked while in use (DownloadLock). Nothing is preallocated: the file is
// never longer than the bytes it holds.
class PartialFile final : public HttpBodySink
{
public:
    enum class Opened
    {
        Ready,
        InUse,    // another program holds the lock
        IsFolder, // a folder stands where the part goes
        Failed,   // the folder does not take the file
    };

    // identity names the stream (StreamIdentity); mayResume false ignores
    // what an earlier job left and starts afresh.
    PartialFile(QString target, QString identity, bool mayResume);
    ~PartialFile() override;
    PartialFile(const PartialFile &) = delete;
    PartialFile &operator=(const PartialFile &) = delete;

    static QString partPath(const QString &target) { return besideTarget(target, ".part"); }
    static QString recordPath(const QString &target) { return besideTarget(target, ".resume"); }
    // target + suffix; a name too long for that gets a shorter form that
    // still tells it from any other target's.
    static QString besideTarget(const QString &target, const char *suffix);
    // Removes the record of target, once nothing is left to resume.
    static void forget(const QString &target);

    Opened open();

    // Where the next request starts (0: the whole body).
    qint64 resumeFrom() const { return m_resumable ? m_extents.prefix() : 0; }
    // What the next request asks: the bytes held, their validator and total.
    RangeAsk rangeAsk() const { return {resumeFrom(), m_record.validator, m_record.total}; }
    // Drops the bytes held; the next request asks for the whole body.
    void startAfresh();

    // The current body had a declared length.
    bool lengthKnown() const { return m_lengthKnown; }
    // Every byte of the whole length is held (a length never known counts as whole).
    bool holdsAll() const { return m_record.total < 0 || m_extents.holdsAll(m_record.total); }
    // The bytes held, also past a gap (several connections wrote them).
    const ByteExtents &extents() const { return m_extents; }
    // The whole length and the validator of what is held, once a body told them.
    qint64 total() const { return m_record.total; }
    const QByteArray &validator() const { return m_record.validator; }
    // A later request can continue what is held: the body had a validator and a length.
    bool continuable() const { return m_resumable; }
    // A write failed, or a body was refused, for want of room on the disk.
    bool diskFull() const { return m_diskFull; }
    // Tests play another program between the part's opening and its lock.
    DownloadLock &lock() { return m_lock; }

    // A body at offset continues the bytes held (the client has judged its
    // range); at 0 it is a whole body, which replaces them.
    bool responseBegins(const ResponseHead &head, qint64 offset) override;
    bool bodyBegins(qint64) override { return true; }
    bool write(const char *data, qint64 size) override;
    // Bytes of a piece another connection fetched, at their place in the file.
    bool writeAt(qint64 offset, const char *data, qint64 size);
    // What is held so far is flushed and put in the record, so that a job
    // ended without notice leaves what it can vouch for.
    bool checkpoint();
    // Gives up the bytes past the first gap.
    void cutToPrefix();

    // A transfer that counts as done: flushed to disk, then renamed onto the
    // target. A stopped one leaves its record so a later job resumes it.
    bool complete(bool stopped);
    // A failed one: the part stays, with its record when it can be resumed.
    void keep();

private:
    bool resumable(const std::optional<ResumeRecord> &record);
    bool writeRecord(const ResumeRecord &record);
    bool writeRecord(bool inTarget, qint64 held);

    bool truncateTo(qint64 size);

    QString m_target;
    QString m_part;
    QString m_identity;
    bool m_mayResume;
    DownloadLock m_lock;
    ResumeRecord m_record;    // the record of the bytes held; validator empty: none
    ByteExtents m_extents;    // the bytes written
    qint64 m_at = 0;          // where the body of the request under way goes next
    bool m_resumable = false; // m_record describes the bytes held
    bool m_lengthKnown = false;
    bool m_diskFull = false;
};
