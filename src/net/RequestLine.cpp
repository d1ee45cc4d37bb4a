#include "net/RequestLine.h"

#include <QUrl>

namespace {

// A header value never carries a line end into the request.
QByteArray headerLine(const char *name, const QString &value)
{
    QByteArray bytes = value.toLatin1();
    bytes.replace('\r', ' ').replace('\n', ' ');
    return QByteArray(name) + ": " + bytes;
}

// Headers the client decides itself, whatever a stream asks for: the framing,
// the resume, the uncompressed body, the connection, and never a cookie.
bool isClientOwned(const QByteArray &name)
{
    static const char *const owned[] = {
        "Host",   "Content-Length",  "Transfer-Encoding", "Range",   "If-Range",
        "Expect", "Accept-Encoding", "Connection",        "Cookie",  "Proxy-Authorization",
        "TE",     "Upgrade",         "Keep-Alive",        "Trailer", "Proxy-Connection",
    };
    for (const char *ownedName : owned) {
        if (name.compare(ownedName, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

bool isSafeExtraHeader(const QByteArray &name, const QByteArray &value)
{
    if (name.isEmpty() || isClientOwned(name))
        return false;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7f || c == ':')
            return false;
    }
    for (const char c : value) {
        if (c == '\r' || c == '\n' || c == '\0')
            return false;
    }
    return true;
}

// A link pasted with a trailing blank still makes its request: libcurl would
// refuse the whole URL.
QByteArray urlBytes(const QString &url)
{
    bool wide = false;
    for (const QChar c : url)
        wide = wide || c.unicode() > 0xff;
    const QByteArray bytes = wide ? url.toUtf8() : url.toLatin1();
    QByteArray sent;
    sent.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7f)
            sent += '%' + QByteArray::number(byte, 16).rightJustified(2, '0').toUpper();
        else
            sent += c;
    }
    return sent;
}

bool isWebScheme(const QByteArray &url)
{
    const QByteArray lower = url.left(8).toLower();
    return lower.startsWith("http://") || lower.startsWith("https://");
}

QList<QByteArray> requestHeaderLines(const HttpRequestSettings &settings)
{
    QList<QByteArray> lines;
    const auto add = [&](const char *name, const QString &value) {
        if (!value.isEmpty())
            lines.append(headerLine(name, value));
    };
    add("Referer", settings.Referer);
    add("User-Agent", settings.UserAgent);
    lines.append(settings.Accept.isEmpty() ? QByteArray("Accept:")
                                           : headerLine("Accept", settings.Accept));
    add("Accept-Charset", settings.AcceptCharSet);
    lines.append("Accept-Encoding: identity");
    add("Connection", settings.Connection);
    add("Content-Type", settings.ContentType);
    return lines;
}

bool sameOrigin(const QByteArray &first, const QByteArray &second)
{
    const QUrl a(QString::fromLatin1(first));
    const QUrl b(QString::fromLatin1(second));
    const auto port = [](const QUrl &url) {
        return url.port(
            url.scheme().compare(QStringLiteral("https"), Qt::CaseInsensitive) == 0 ? 443 : 80);
    };
    return a.scheme().compare(b.scheme(), Qt::CaseInsensitive) == 0 &&
           a.host().compare(b.host(), Qt::CaseInsensitive) == 0 && port(a) == port(b);
}

bool isCredentialHeader(const QByteArray &name)
{
    for (const char *credential : {"Authorization", "Proxy-Authorization", "Cookie"}) {
        if (name.compare(credential, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}
