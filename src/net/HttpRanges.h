#pragma once

#include <QByteArrayView>
#include <QDateTime>

#include <optional>

// What a 206 answer says it holds: bytes first to last (inclusive) of a
// resource of total bytes; total is -1 when the server gave "*".
struct ContentRange
{
    qint64 first = 0;
    qint64 last = 0;
    qint64 total = -1;
};

// Decimal digits only, no sign, no blanks; nothing when it may overflow.
std::optional<qint64> parseDigits(QByteArrayView text);

// "bytes FIRST-LAST/TOTAL" or "bytes FIRST-LAST/*"; nothing for any other form,
// for a range that runs backwards or past its total, or for numbers too large.
std::optional<ContentRange> parseContentRange(QByteArrayView value);

// The seconds a Retry-After value asks for: delay-seconds, or an HTTP date
// counted from now (0 when it has passed). Nothing when it is neither.
std::optional<qint64> parseRetryAfter(QByteArrayView value, const QDateTime &now);

// Whether an ETag value is strong (not W/ and quoted), the only kind If-Range takes.
bool isStrongEtag(QByteArrayView value);
