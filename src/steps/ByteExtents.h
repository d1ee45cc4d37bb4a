#pragma once

#include <QList>
#include <QtGlobal>

// Bytes first (inclusive) to end (exclusive) of a file.
struct ByteExtent
{
    qint64 first = 0;
    qint64 end = 0;

    qint64 size() const { return end - first; }
    bool operator==(const ByteExtent &) const = default;
};

// The bytes a partial file holds: sorted, disjoint extents with a gap
// between any two, so one set of bytes has one form.
class ByteExtents
{
public:
    ByteExtents() = default;
    explicit ByteExtents(QList<ByteExtent> extents);

    // Adds the bytes first..end; empty extents are nothing.
    void add(qint64 first, qint64 end);
    // Keeps only the bytes before end.
    void cutAt(qint64 end);
    void clear() { m_extents.clear(); }

    bool isEmpty() const { return m_extents.isEmpty(); }
    const QList<ByteExtent> &list() const { return m_extents; }
    // The bytes held from 0 on without a gap.
    qint64 prefix() const;
    qint64 held() const;
    // Whether every byte of 0..total is held.
    bool holdsAll(qint64 total) const { return total >= 0 && prefix() >= total; }
    // The first byte at or after from that is not held.
    qint64 firstMissing(qint64 from) const;
    // The first held byte at or after from; end when there is none before it.
    qint64 nextHeld(qint64 from, qint64 end) const;

    // Whether the extents are in the one form (sorted, apart, not empty) and
    // lie within 0..total.
    static bool isOrderly(const QList<ByteExtent> &extents, qint64 total);

private:
    QList<ByteExtent> m_extents;
};
