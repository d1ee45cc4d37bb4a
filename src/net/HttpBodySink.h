#pragma once

#include "net/ResponseHead.h"

#include <QtGlobal>

// Where the body of a successful response goes. Bodies of redirects and of
// error statuses never reach it.
class HttpBodySink
{
public:
    virtual ~HttpBodySink() = default;
    // The final response's head has arrived and its body is about to begin at
    // offset of the resource: the bytes a 206 continues, 0 for a whole body
    // (whatever was held goes). False fails the request.
    virtual bool responseBegins(const ResponseHead &head, qint64 offset)
    {
        Q_UNUSED(offset);
        return bodyBegins(head.chunked ? -1 : head.contentLength);
    }
    // announced is the Content-Length, or -1 when the body is chunked or read
    // until close. False fails the request.
    virtual bool bodyBegins(qint64 announced) = 0;
    // False fails the request.
    virtual bool write(const char *data, qint64 size) = 0;
};
