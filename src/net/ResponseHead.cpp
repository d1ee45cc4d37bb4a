#include "net/ResponseHead.h"

#include <QList>

namespace {

bool startsWithNoCase(QByteArrayView text, QByteArrayView prefix)
{
    return text.size() >= prefix.size() &&
           text.first(prefix.size()).compare(prefix, Qt::CaseInsensitive) == 0;
}

} // namespace

void ResponseHead::addLine(QByteArrayView line)
{
    const QByteArrayView text = line.trimmed();
    if (startsWithNoCase(line, "HTTP/")) {
        *this = ResponseHead();
        QList<QByteArray> parts = text.toByteArray().split(' ');
        parts.removeAll(QByteArray());
        bool ok = false;
        const int code = parts.size() >= 2 ? parts[1].toInt(&ok) : 0;
        status = ok && code >= 100 && code <= 999 ? code : 0;
        return;
    }
    if (text.isEmpty()) {
        complete = status != 0 && !isInformational();
        return;
    }
    const qsizetype colon = text.indexOf(':');
    if (colon <= 0)
        return;
    const QByteArrayView name = text.first(colon).trimmed();
    const QByteArrayView value = text.sliced(colon + 1).trimmed();
    if (name.compare("Content-Length", Qt::CaseInsensitive) == 0) {
        bool ok = false;
        const qint64 length = value.toLongLong(&ok);
        contentLength = ok && length >= 0 ? length : -1;
    } else if (name.compare("Transfer-Encoding", Qt::CaseInsensitive) == 0) {
        chunked = value.toByteArray().toLower().contains("chunked");
    } else if (name.compare("Location", Qt::CaseInsensitive) == 0) {
        hasLocation = !value.isEmpty();
    } else if (name.compare("Content-Type", Qt::CaseInsensitive) == 0) {
        contentType = value.toByteArray();
    } else if (name.compare("ETag", Qt::CaseInsensitive) == 0) {
        etag = value.toByteArray();
    } else if (name.compare("Last-Modified", Qt::CaseInsensitive) == 0) {
        lastModified = value.toByteArray();
    } else if (name.compare("Content-Range", Qt::CaseInsensitive) == 0) {
        contentRange = value.toByteArray();
    } else if (name.compare("Retry-After", Qt::CaseInsensitive) == 0) {
        retryAfter = value.toByteArray();
    }
}
