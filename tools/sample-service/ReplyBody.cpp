#include "ReplyBody.h"

#include "ServiceReply.h"

#include <algorithm>
#include <cstring>

ReplyBody::ReplyBody(QByteArray bytes)
{
    append(std::move(bytes));
}

ReplyBody ReplyBody::generated(qint64 size, qint64 version)
{
    ReplyBody body;
    body.appendGenerated(size, version);
    return body;
}

void ReplyBody::append(QByteArray bytes)
{
    Part part;
    part.size = bytes.size();
    part.bytes = std::move(bytes);
    appendPart(std::move(part));
}

void ReplyBody::appendFiller(qint64 size, char filler)
{
    Part part;
    part.kind = Kind::Filler;
    part.size = size;
    part.filler = filler;
    appendPart(std::move(part));
}

void ReplyBody::appendGenerated(qint64 size, qint64 version)
{
    Part part;
    part.kind = Kind::Generated;
    part.size = size;
    part.version = version;
    appendPart(std::move(part));
}

void ReplyBody::appendPart(Part part)
{
    if (part.size <= 0)
        return;
    m_size += part.size;
    m_parts.push_back(std::move(part));
}

QByteArray ReplyBody::read(qint64 offset, qint64 size) const
{
    size = std::clamp<qint64>(std::min(size, m_size - offset), 0, m_size);
    QByteArray bytes(size, Qt::Uninitialized);
    char *out = bytes.data();
    qint64 partStart = 0;
    for (const Part &part : m_parts) {
        if (size == 0)
            break;
        const qint64 partEnd = partStart + part.size;
        if (offset < partEnd) {
            const qint64 inPart = offset - partStart;
            const qint64 count = std::min(size, part.size - inPart);
            switch (part.kind) {
            case Kind::Bytes:
                std::memcpy(out, part.bytes.constData() + part.origin + inPart, size_t(count));
                break;
            case Kind::Generated:
                for (qint64 i = 0; i < count; ++i)
                    out[i] = generatedByte(part.origin + inPart + i, part.version);
                break;
            case Kind::Filler:
                std::memset(out, part.filler, size_t(count));
                break;
            }
            out += count;
            offset += count;
            size -= count;
        }
        partStart = partEnd;
    }
    return bytes;
}

ReplyBody ReplyBody::slice(qint64 from, qint64 size) const
{
    ReplyBody body;
    from = std::clamp<qint64>(from, 0, m_size);
    size = std::clamp<qint64>(size, 0, m_size - from);
    qint64 partStart = 0;
    for (const Part &part : m_parts) {
        const qint64 partEnd = partStart + part.size;
        const qint64 start = std::max(from, partStart);
        const qint64 end = std::min(from + size, partEnd);
        if (start < end) {
            Part piece = part;
            piece.origin += start - partStart;
            piece.size = end - start;
            body.appendPart(std::move(piece));
        }
        partStart = partEnd;
    }
    return body;
}
