#include "convert/DurationText.h"

namespace {

const QString Marker = QStringLiteral("Duration:");
constexpr qsizetype Length = 8;

} // namespace

bool DurationText::take(const QString &chunk, bool waitedTooLong)
{
    if (m_cut) {
        m_afterMarker += chunk;
    } else {
        const qsizetype found = chunk.indexOf(Marker);
        if (found < 0) {
            if (!waitedTooLong)
                return false;
            m_text = chunk.mid(Marker.size(), Length);
            return true;
        }
        m_afterMarker = chunk.mid(found + Marker.size());
    }
    // One space, then hh:mm:ss.
    m_cut = m_afterMarker.size() < 1 + Length;
    if (m_cut)
        return false;
    m_text = m_afterMarker.mid(1, Length);
    return true;
}
