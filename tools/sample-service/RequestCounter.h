#pragma once

#include "ServiceRequest.h"

#include <QByteArray>
#include <QHash>

#include <mutex>

// Counts requests per key for the modes that answer differently over time
// (flaky, changing). Shared by the threads that answer connections.
class RequestCounter
{
public:
    // The count so far, then one more.
    qint64 take(const QByteArray &key);
    // The count so far.
    qint64 peek(const QByteArray &key) const;
    // One less.
    void give(const QByteArray &key);

    // A resource is its path and its query without the keys that say how it is
    // flaky, so a test may vary those from one request to the next; the host
    // does not count, as every name of the service serves the same resources.
    static QByteArray resourceKey(const ServiceRequest &request);

private:
    mutable std::mutex m_mutex;
    QHash<QByteArray, qint64> m_counts;
};
