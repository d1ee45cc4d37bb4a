#pragma once

#include "net/HttpRanges.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>

class HttpBodySink;
class HttpProgress;

// One request with everything that belongs to it alone: its own header lines
// (sent after the client's persistent settings, each in place of a setting of
// its name), what it continues, where its body goes and who hears its work.
struct HttpRequest
{
    using Headers = QList<QPair<QByteArray, QByteArray>>;

    QString url;
    Headers headers;
    // What the caller holds: with from > 0 the client asks the rest; every
    // answer is judged against it (none: a plain GET).
    std::optional<RangeAsk> range;
    HttpBodySink *sink = nullptr;     // the body of a 2xx answer
    HttpProgress *progress = nullptr; // the work events; none when null
};
