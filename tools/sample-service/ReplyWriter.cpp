#include "ReplyWriter.h"

#include <QByteArray>

#include <algorithm>
#include <cerrno>
#include <linux/sockios.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 204:
        return "No Content";
    case 206:
        return "Partial Content";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 303:
        return "See Other";
    case 304:
        return "Not Modified";
    case 307:
        return "Temporary Redirect";
    case 400:
        return "Bad Request";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 416:
        return "Range Not Satisfiable";
    case 429:
        return "Too Many Requests";
    case 500:
        return "Internal Server Error";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}

bool sendAll(int socket, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t sent = ::send(socket, data, size_t(size), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return false;
        data += sent;
        size -= sent;
    }
    return true;
}

bool sendAll(int socket, const QByteArray &bytes)
{
    return sendAll(socket, bytes.constData(), bytes.size());
}

// Holds the connection open and silent until the client gives up or the
// service stops.
void stall(int socket, const std::atomic<bool> &stopping)
{
    char scratch[4096];
    while (!stopping) {
        pollfd watched{socket, POLLIN, 0};
        const int ready = ::poll(&watched, 1, 100);
        if (ready < 0 && errno != EINTR)
            return;
        if (ready > 0 && ::recv(socket, scratch, sizeof scratch, 0) <= 0)
            return;
    }
}

// A reset after exactly what was sent: the bytes still queued (not yet
// acknowledged) would be thrown away with it, so it waits for them first.
void resetOnClose(int socket, const std::atomic<bool> &stopping)
{
    for (int waited = 0; waited < 2000 && !stopping; ++waited) {
        int queued = 0;
        if (::ioctl(socket, SIOCOUTQ, &queued) != 0 || queued == 0)
            break;
        ::usleep(1000);
    }
    const linger abortive{1, 0};
    ::setsockopt(socket, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
}

} // namespace

bool sendReply(int socket, const ServiceReply &reply, bool headOnly, bool clientWantsClose,
               const std::atomic<bool> &stopping, qint64 *connectionSent)
{
    const qint64 length = reply.body.size();
    // After a false length the connection cannot carry another answer.
    const bool lies = reply.announcedLength >= 0;
    const bool closeAfter = clientWantsClose || reply.framing == BodyFraming::Close || lies;
    // A server far away, or slow to think.
    for (int waited = 0; waited < reply.latencyMs && !stopping; waited += 10)
        ::usleep(10000);
    QByteArray head =
        "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + reasonPhrase(reply.status) + "\r\n";
    for (const auto &[name, value] : reply.headers)
        head += name + ": " + value + "\r\n";
    if (reply.framing == BodyFraming::Length || lies)
        head +=
            "Content-Length: " + QByteArray::number(lies ? reply.announcedLength : length) + "\r\n";
    if (reply.framing == BodyFraming::Chunked)
        head += "Transfer-Encoding: chunked\r\n";
    if (closeAfter)
        head += "Connection: close\r\n";
    head += "\r\n";
    if (!sendAll(socket, head))
        return false;
    if (headOnly)
        return !closeAfter;

    // The first fault in the body wins.
    qint64 limit = length;
    enum class Fault
    {
        None,
        Cut,
        Reset,
        Stall
    } fault = Fault::None;
    const auto consider = [&](qint64 at, Fault kind) {
        if (at >= 0 && at < limit) {
            limit = at;
            fault = kind;
        }
    };
    consider(reply.cutAfter, Fault::Cut);
    consider(reply.resetAfter, Fault::Reset);
    consider(reply.stallAfter, Fault::Stall);
    const qint64 carried = connectionSent ? *connectionSent : 0;
    if (reply.resetEvery > 0)
        consider(std::max<qint64>(0, reply.resetEvery - carried), Fault::Reset);
    if (connectionSent)
        *connectionSent += limit;

    // Smaller pieces keep a capped rate even.
    const bool paced = reply.rate > 0 || (reply.totalRate > 0 && reply.totalPacer);
    const qint64 Piece = paced ? 16384 : 65536;
    RatePacer own;
    QByteArray piece;
    for (qint64 offset = 0; offset < limit && !stopping;) {
        const qint64 size = std::min(Piece, limit - offset);
        if (reply.rate > 0)
            own.pace(size, reply.rate, stopping);
        if (reply.totalRate > 0 && reply.totalPacer)
            reply.totalPacer->pace(size, reply.totalRate, stopping);
        piece = reply.body.read(offset, size);
        if (reply.framing == BodyFraming::Chunked)
            piece = QByteArray::number(size, 16) + "\r\n" + piece + "\r\n";
        if (!sendAll(socket, piece))
            return false;
        offset += size;
    }
    if (stopping)
        return false;

    switch (fault) {
    case Fault::Cut:
        ::shutdown(socket, SHUT_WR);
        return false;
    case Fault::Reset:
        resetOnClose(socket, stopping);
        return false;
    case Fault::Stall:
        stall(socket, stopping);
        return false;
    case Fault::None:
        break;
    }
    if (reply.framing == BodyFraming::Chunked && !sendAll(socket, QByteArray("0\r\n\r\n")))
        return false;
    return !closeAfter;
}
