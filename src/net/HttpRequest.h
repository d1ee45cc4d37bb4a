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
    // Set when the body is to continue bytes the caller holds (from > 0) or
    // replace them: the client asks the range and judges the answer.
    std::optional<RangeAsk> range;
    HttpBodySink *sink = nullptr;     // the body of a 2xx answer
    HttpProgress *progress = nullptr; // the work events; none when null
};
