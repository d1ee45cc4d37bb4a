#pragma once

#include <QtGlobal>

// Where the body of a successful response goes. Bodies of redirects and of
// error statuses never reach it.
class HttpBodySink
{
public:
    virtual ~HttpBodySink() = default;
    // The final response's body is about to begin; announced is its
    // Content-Length, or -1 when the body is chunked or read until close.
    // False fails the request.
    virtual bool bodyBegins(qint64 announced) = 0;
    // False fails the request.
    virtual bool write(const char *data, qint64 size) = 0;
};
