#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

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
    QByteArray body;
    qint64 generatedLength = -1; // >= 0: a generated body of this many bytes instead
    BodyFraming framing = BodyFraming::Length;
    qint64 cutAfter = -1;   // close cleanly after this many body bytes
    qint64 resetAfter = -1; // reset the connection after this many body bytes
    qint64 stallAfter = -1; // send nothing more after this many body bytes

    qint64 bodyLength() const { return generatedLength >= 0 ? generatedLength : body.size(); }
};

// The byte at offset of every generated body, so a client can check what it got.
inline char generatedByte(qint64 offset)
{
    return static_cast<char>((offset ^ (offset >> 8) ^ (offset >> 16)) & 0xff);
}

// What a generated body holds from offset `from` on, `size` bytes of it.
inline QByteArray bulkBytes(qint64 from, qint64 size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        bytes[i] = generatedByte(from + i);
    return bytes;
}
