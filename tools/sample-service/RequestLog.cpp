#include "RequestLog.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <stdexcept>

void RequestLog::openFile(const QString &path)
{
    std::lock_guard lock(m_mutex);
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append))
        throw std::runtime_error("cannot open the log file " + path.toStdString());
}

void RequestLog::record(const ServiceRequest &request)
{
    std::lock_guard lock(m_mutex);
    m_requests.push_back(request);
    if (m_file.isOpen()) {
        m_file.write(jsonLine(request));
        m_file.flush();
    }
}

std::vector<ServiceRequest> RequestLog::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

void RequestLog::clear()
{
    std::lock_guard lock(m_mutex);
    m_requests.clear();
}

QByteArray RequestLog::jsonLine(const ServiceRequest &request)
{
    // Header bytes are kept one character per byte, whatever they are.
    QJsonArray headers;
    for (const auto &[name, value] : request.headers)
        headers.append(QJsonArray{QString::fromLatin1(name), QString::fromLatin1(value)});
    const QJsonObject line{{QStringLiteral("method"), QString::fromLatin1(request.method)},
                           {QStringLiteral("target"), QString::fromLatin1(request.target)},
                           {QStringLiteral("headers"), headers}};
    return QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n';
}
