#include "ServiceRequest.h"

#include <QUrl>

QByteArray ServiceRequest::header(QByteArrayView name) const
{
    for (const auto &[key, value] : headers) {
        if (QByteArrayView(key).compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

std::optional<QByteArray> ServiceRequest::queryValue(QByteArrayView key) const
{
    for (const QByteArray &pair : query.split('&')) {
        const qsizetype equals = pair.indexOf('=');
        const QByteArray name = equals < 0 ? pair : pair.left(equals);
        if (name == key)
            return QByteArray::fromPercentEncoding(equals < 0 ? QByteArray()
                                                              : pair.mid(equals + 1));
    }
    return std::nullopt;
}

QByteArray ServiceRequest::hostName() const
{
    QByteArray name = host.toLower();
    const qsizetype colon = name.lastIndexOf(':');
    if (colon >= 0 && !name.endsWith(']'))
        name.truncate(colon);
    return name;
}

bool ServiceRequest::wantsClose() const
{
    const QByteArray connection = header("Connection").toLower();
    if (version == "HTTP/1.0")
        return !connection.contains("keep-alive");
    return connection.contains("close");
}

std::optional<ServiceRequest> ServiceRequest::parse(const QByteArray &head)
{
    QList<QByteArray> lines = head.split('\n');
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    if (lines.isEmpty())
        return std::nullopt;
    const QList<QByteArray> requestLine = lines.first().split(' ');
    if (requestLine.size() != 3 || !requestLine[2].startsWith("HTTP/"))
        return std::nullopt;

    ServiceRequest request;
    request.method = requestLine[0];
    request.target = requestLine[1];
    request.version = requestLine[2];
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon <= 0)
            continue;
        request.headers.append({lines[i].left(colon), lines[i].mid(colon + 1).trimmed()});
    }

    QByteArray rest = request.target;
    request.host = request.header("Host");
    const QByteArray lowerTarget = rest.left(8).toLower();
    if (lowerTarget.startsWith("http://") || lowerTarget.startsWith("https://")) {
        // Proxy form: the host comes from the target.
        const qsizetype hostStart = rest.indexOf("//") + 2;
        qsizetype pathStart = rest.indexOf('/', hostStart);
        if (pathStart < 0)
            pathStart = rest.size();
        request.host = rest.mid(hostStart, pathStart - hostStart);
        rest = rest.mid(pathStart);
        if (rest.isEmpty())
            rest = "/";
    }
    const qsizetype question = rest.indexOf('?');
    request.path = question < 0 ? rest : rest.left(question);
    request.query = question < 0 ? QByteArray() : rest.mid(question + 1);
    return request;
}
