#pragma once

#include "ServiceRequest.h"

#include <QFile>
#include <QString>

#include <mutex>
#include <vector>

// Every request the service received: kept in memory for tests and, when a
// file is given, appended to it as one JSON line each.
class RequestLog
{
public:
    // Throws std::runtime_error when the file cannot be opened.
    void openFile(const QString &path);
    void record(const ServiceRequest &request);
    std::vector<ServiceRequest> requests() const;
    void clear();

    static QByteArray jsonLine(const ServiceRequest &request);

private:
    mutable std::mutex m_mutex;
    std::vector<ServiceRequest> m_requests;
    QFile m_file;
};
