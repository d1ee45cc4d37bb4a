#pragma once

#include "ServiceReply.h"
#include "ServiceRequest.h"

// What makes an answer a resource a client can resume: validators (query
// validator=both|etag|lastmod|weak|none, default both), byte ranges (ranges=0
// ignores them) and If-Range, on a 200 reply whose body is the whole resource.
class ResourceAnswer
{
public:
    // name and version make the strong ETag "\"NAME-vVERSION\""; the version
    // also moves Last-Modified on by a day.
    static void apply(const ServiceRequest &request, const QByteArray &name, qint64 version,
                      ServiceReply &reply);

    static QByteArray lastModified(qint64 version);

    struct ByteRange
    {
        qint64 first = 0;
        qint64 last = -1; // -1: to the end
    };
    // "bytes=N-" or "bytes=N-M"; none for anything else, which is then ignored.
    static std::optional<ByteRange> parseRange(QByteArrayView value);
};
