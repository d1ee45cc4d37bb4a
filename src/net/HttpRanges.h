#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>

#include <optional>

struct ResponseHead;

// What a 206 answer says it holds: bytes first to last (inclusive) of a
// resource of total bytes; total is -1 when the server gave "*".
struct ContentRange
{
    qint64 first = 0;
    qint64 last = 0;
    qint64 total = -1;
};

// What a request continues: the bytes the caller holds of a resource.
struct RangeAsk
{
    qint64 from = 0;      // bytes held; 0 asks for the whole body
    QByteArray validator; // for If-Range: a strong ETag, quotes included, or a Last-Modified text
    qint64 total = -1;    // the whole length the caller expects
    qint64 last = -1;     // the last byte asked (a piece of it); -1: to the end
};

// How an answer stands to what was asked.
enum class RangeVerdict
{
    Whole,     // a whole body: what was held makes way for it
    Continues, // a 206 that begins where the held bytes end, of the same version
    Mismatch,  // a 206 of another range, length or version, or part of one nobody asked for
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

// The validator a later If-Range can carry for this answer: a strong ETag,
// else the Last-Modified text; empty when it has neither.
QByteArray resumeValidator(const ResponseHead &head);

// Whether a final 2xx answer continues what the ask holds. An answer that
// leaves the validator out is taken at its range.
RangeVerdict judgeRangeAnswer(const ResponseHead &head, const RangeAsk &ask);
