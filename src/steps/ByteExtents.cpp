#include "steps/ByteExtents.h"

#include <algorithm>
#include <utility>

ByteExtents::ByteExtents(QList<ByteExtent> extents)
{
    for (const ByteExtent &extent : extents)
        add(extent.first, extent.end);
}

void ByteExtents::add(qint64 first, qint64 end)
{
    if (first >= end)
        return;
    QList<ByteExtent> merged;
    merged.reserve(m_extents.size() + 1);
    ByteExtent fresh{first, end};
    bool placed = false;
    for (const ByteExtent &extent : std::as_const(m_extents)) {
        if (extent.end < fresh.first) {
            merged.append(extent);
        } else if (fresh.end < extent.first) {
            if (!placed)
                merged.append(fresh);
            placed = true;
            merged.append(extent);
        } else {
            // Overlapping or touching: one extent.
            fresh.first = std::min(fresh.first, extent.first);
            fresh.end = std::max(fresh.end, extent.end);
        }
    }
    if (!placed)
        merged.append(fresh);
    m_extents = std::move(merged);
}

void ByteExtents::cutAt(qint64 end)
{
    while (!m_extents.isEmpty() && m_extents.last().first >= end)
        m_extents.removeLast();
    if (!m_extents.isEmpty() && m_extents.last().end > end)
        m_extents.last().end = end;
}

qint64 ByteExtents::prefix() const
{
    return !m_extents.isEmpty() && m_extents.first().first == 0 ? m_extents.first().end : 0;
}

qint64 ByteExtents::held() const
{
    qint64 sum = 0;
    for (const ByteExtent &extent : m_extents)
        sum += extent.size();
    return sum;
}

qint64 ByteExtents::firstMissing(qint64 from) const
{
    for (const ByteExtent &extent : m_extents) {
        if (extent.first > from)
            break;
        if (extent.end > from)
            return extent.end;
    }
    return from;
}

qint64 ByteExtents::nextHeld(qint64 from, qint64 end) const
{
    for (const ByteExtent &extent : m_extents) {
        if (extent.end > from)
            return std::clamp(extent.first, from, end);
    }
    return end;
}

bool ByteExtents::isOrderly(const QList<ByteExtent> &extents, qint64 total)
{
    qint64 after = -1; // the end of the one before; the next must start past it
    for (const ByteExtent &extent : extents) {
        if (extent.first < 0 || extent.first <= after || extent.end <= extent.first ||
            extent.end > total)
            return false;
        after = extent.end;
    }
    return true;
}
