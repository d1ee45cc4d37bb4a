#include "RequestCounter.h"

#include "FlakyFault.h"

qint64 RequestCounter::take(const QByteArray &key)
{
    std::lock_guard lock(m_mutex);
    return m_counts[key]++;
}

qint64 RequestCounter::peek(const QByteArray &key) const
{
    std::lock_guard lock(m_mutex);
    return m_counts.value(key);
}

void RequestCounter::give(const QByteArray &key)
{
    std::lock_guard lock(m_mutex);
    --m_counts[key];
}

QByteArray RequestCounter::resourceKey(const ServiceRequest &request)
{
    QList<QByteArray> kept;
    for (const QByteArray &pair : request.query.split('&')) {
        const qsizetype equals = pair.indexOf('=');
        const QByteArray name = equals < 0 ? pair : pair.left(equals);
        if (!pair.isEmpty() && !FlakyFault::isFlakyKey(name))
            kept.append(pair);
    }
    return kept.isEmpty() ? request.path : request.path + '?' + kept.join('&');
}
