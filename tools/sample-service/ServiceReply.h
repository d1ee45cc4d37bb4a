#pragma once

#include "RatePacer.h"
#include "ReplyBody.h"

#include <QByteArray>
#include <QList>
#include <QPair>

#include <memory>

// How a body is framed on the wire.
enum class BodyFraming
{
    Length,  // Content-Length
    Chunked, // Transfer-Encoding: chunked
    Close,   // neither; the connection ends the body
};

// One answer, with the faults to inject while sending it.
struct ServiceReply
{
    int status = 200;
    QList<QPair<QByteArray, QByteArray>> headers;
    ReplyBody body;
    // Non-empty: the body is all of that resource, which byte ranges and
    // validators apply to.
    QByteArray resource;
    int flakyGets = 0; // the resource's GETs that fail unless the query says how many
    BodyFraming framing = BodyFraming::Length;
    qint64 announcedLength = -1; // >= 0: the Content-Length sent whatever the body holds
    qint64 cutAfter = -1;        // close cleanly after this many body bytes
    qint64 resetAfter = -1;      // reset the connection after this many body bytes
    qint64 stallAfter = -1;      // send nothing more after this many body bytes
    qint64 resetEvery = -1;      // reset the connection once it carried this many body bytes
    qint64 rate = -1;            // > 0: the body's bytes a second on this connection
    qint64 totalRate = -1;       // > 0: the bytes a second of all answers sharing totalPacer
    std::shared_ptr<RatePacer> totalPacer;
    int latencyMs = 0;               // the wait before the head goes out
    std::shared_ptr<void> whileSent; // held until the answer has gone

    // A small HTML page saying the status.
    static ServiceReply statusPage(int status)
    {
        ServiceReply reply;
        reply.status = status;
        reply.headers = {{"Content-Type", "text/html; charset=utf-8"}};
        reply.body =
            ReplyBody("<html><body><h1>" + QByteArray::number(status) + "</h1></body></html>\n");
        return reply;
    }

    // The first header of that name, compared without case; empty when none.
    QByteArray header(QByteArrayView name) const
    {
        for (const auto &[key, value] : headers) {
            if (QByteArrayView(key).compare(name, Qt::CaseInsensitive) == 0)
                return value;
        }
        return {};
    }
};

// The byte at offset of every generated body of that version, so a client can
// check what it got. Two versions differ at every offset unless they are a
// multiple of 256 apart.
inline char generatedByte(qint64 offset, qint64 version = 0)
{
    return static_cast<char>((offset ^ (offset >> 8) ^ (offset >> 16) ^ (version * 0x9d)) & 0xff);
}

// What a generated body of that version holds from offset `from` on, `size` bytes of it.
inline QByteArray bulkBytes(qint64 from, qint64 size, qint64 version)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        bytes[i] = generatedByte(from + i, version);
    return bytes;
}

// The same of version 0.
inline QByteArray bulkBytes(qint64 from, qint64 size)
{
    return bulkBytes(from, size, 0);
}
