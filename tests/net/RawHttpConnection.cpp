#include "RawHttpConnection.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <limits>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Long enough for any answer of the tests, short enough to end a stuck one.
constexpr int QuietSeconds = 30;

} // namespace

std::optional<QByteArray> RawHttpConnection::Response::header(QByteArrayView name) const
{
    for (const auto &[key, value] : headers) {
        if (QByteArrayView(key).compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return std::nullopt;
}

RawHttpConnection::RawHttpConnection(quint16 port)
    : m_socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0))
{
    if (m_socket < 0)
        return;
    const timeval quiet{QuietSeconds, 0};
    ::setsockopt(m_socket, SOL_SOCKET, SO_RCVTIMEO, &quiet, sizeof quiet);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(m_socket, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        ::close(m_socket);
        m_socket = -1;
    }
}

RawHttpConnection::~RawHttpConnection()
{
    if (m_socket >= 0)
        ::close(m_socket);
}

bool RawHttpConnection::send(const QByteArray &bytes)
{
    qsizetype offset = 0;
    while (m_socket >= 0 && offset < bytes.size()) {
        const ssize_t sent = ::send(m_socket, bytes.constData() + offset,
                                    size_t(bytes.size() - offset), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return false;
        offset += sent;
    }
    return m_socket >= 0;
}

bool RawHttpConnection::sendRequest(const QByteArray &method, const QByteArray &target,
                                    const QList<QByteArray> &headerLines)
{
    QByteArray head = method + ' ' + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    for (const QByteArray &line : headerLines)
        head += line + "\r\n";
    return send(head + "\r\n");
}

RawHttpConnection::Response RawHttpConnection::exchange(quint16 port, const QByteArray &method,
                                                        const QByteArray &target,
                                                        const QList<QByteArray> &headerLines)
{
    RawHttpConnection connection(port);
    if (!connection.sendRequest(method, target,
                                headerLines + QList<QByteArray>{"Connection: close"}))
        return {};
    return connection.readResponse(method == "HEAD");
}

bool RawHttpConnection::fill()
{
    if (m_socket < 0)
        return false;
    char scratch[65536];
    for (;;) {
        const ssize_t got = ::recv(m_socket, scratch, sizeof scratch, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && errno == ECONNRESET)
            m_reset = true;
        if (got <= 0)
            return false;
        m_buffer.append(scratch, got);
        return true;
    }
}

std::optional<QByteArray> RawHttpConnection::take(qint64 size)
{
    while (m_buffer.size() < size) {
        if (!fill())
            return std::nullopt;
    }
    QByteArray bytes = m_buffer.left(size);
    m_buffer.remove(0, size);
    return bytes;
}

std::optional<QByteArray> RawHttpConnection::takeLine()
{
    qsizetype end;
    while ((end = m_buffer.indexOf("\r\n")) < 0) {
        if (!fill())
            return std::nullopt;
    }
    QByteArray line = m_buffer.left(end);
    m_buffer.remove(0, end + 2);
    return line;
}

RawHttpConnection::Response RawHttpConnection::readResponse(bool headOnly, qint64 bodyLimit)
{
    Response response;
    const auto finish = [&] {
        response.reset = m_reset;
        return response;
    };
    const auto statusLine = takeLine();
    if (!statusLine || !statusLine->startsWith("HTTP/1.1 "))
        return finish();
    QList<QPair<QByteArray, QByteArray>> headers;
    for (;;) {
        const auto line = takeLine();
        if (!line)
            return finish();
        if (line->isEmpty())
            break;
        const qsizetype colon = line->indexOf(':');
        headers.append({line->left(colon), line->mid(colon + 1).trimmed()});
    }
    response.status = statusLine->mid(9, 3).toInt();
    response.headers = headers;
    if (headOnly) {
        response.complete = true;
        return finish();
    }
    const qint64 limit = bodyLimit < 0 ? std::numeric_limits<qint64>::max() : bodyLimit;

    if (response.header("Transfer-Encoding").value_or(QByteArray()).toLower() == "chunked") {
        while (response.body.size() < limit) {
            const auto sizeLine = takeLine();
            bool ok = false;
            const qint64 size = sizeLine ? sizeLine->toLongLong(&ok, 16) : 0;
            if (!ok)
                return finish();
            if (size == 0) {
                response.complete = takeLine().has_value();
                return finish();
            }
            const auto chunk = take(size);
            if (!chunk) {
                response.body += m_buffer;
                m_buffer.clear();
                return finish();
            }
            response.body += *chunk;
            if (!takeLine())
                return finish();
        }
        return finish();
    }

    if (const auto length = response.header("Content-Length")) {
        const qint64 size = std::min(length->toLongLong(), limit);
        while (m_buffer.size() < size && fill()) {
        }
        response.body = m_buffer.left(size);
        m_buffer.remove(0, response.body.size());
        response.complete = response.body.size() == length->toLongLong();
        return finish();
    }

    // Neither: the body ends when the connection does, unless it was reset.
    while (m_buffer.size() < limit && fill()) {
    }
    response.body = m_buffer.left(limit);
    m_buffer.remove(0, response.body.size());
    response.complete = !m_reset && bodyLimit < 0;
    return finish();
}

QByteArray RawHttpConnection::readToEnd()
{
    while (fill()) {
    }
    QByteArray rest = m_buffer;
    m_buffer.clear();
    return rest;
}

qint64 RawHttpConnection::discardToEnd(QByteArray &tail, qsizetype tailSize)
{
    qint64 count = m_buffer.size();
    tail = m_buffer.right(tailSize);
    m_buffer.clear();
    while (fill()) {
        count += m_buffer.size();
        tail = (tail + m_buffer).right(tailSize);
        m_buffer.clear();
    }
    return count;
}
