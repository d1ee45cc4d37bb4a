#include "net/HttpRanges.h"

#include "net/ResponseHead.h"

#include <QByteArray>
#include <QLocale>

#include <limits>

std::optional<qint64> parseDigits(QByteArrayView text)
{
    if (text.isEmpty() || text.size() > 18)
        return std::nullopt;
    qint64 value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::optional<ContentRange> parseContentRange(QByteArrayView value)
{
    const QByteArrayView text = value.trimmed();
    constexpr QByteArrayView unit("bytes ");
    if (text.size() <= unit.size() ||
        text.first(unit.size()).compare(unit, Qt::CaseInsensitive) != 0)
        return std::nullopt;
    const QByteArrayView rest = text.sliced(unit.size()).trimmed();
    const qsizetype dash = rest.indexOf('-');
    const qsizetype slash = rest.indexOf('/');
    if (dash <= 0 || slash <= dash + 1)
        return std::nullopt;
    const std::optional<qint64> first = parseDigits(rest.first(dash));
    const std::optional<qint64> last = parseDigits(rest.sliced(dash + 1, slash - dash - 1));
    if (!first || !last || *last < *first)
        return std::nullopt;
    ContentRange range{*first, *last, -1};
    const QByteArrayView totalText = rest.sliced(slash + 1);
    if (totalText != "*") {
        const std::optional<qint64> total = parseDigits(totalText);
        if (!total || *last >= *total)
            return std::nullopt;
        range.total = *total;
    }
    return range;
}

std::optional<qint64> parseRetryAfter(QByteArrayView value, const QDateTime &now)
{
    const QByteArrayView text = value.trimmed();
    if (const std::optional<qint64> seconds = parseDigits(text))
        return seconds;
    // The preferred date form, "Sun, 06 Nov 1994 08:49:37 GMT".
    const QString date = QString::fromLatin1(text.toByteArray());
    QDateTime when =
        QLocale::c().toDateTime(date, QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'"));
    if (!when.isValid())
        return std::nullopt;
    when.setTimeSpec(Qt::UTC);
    const qint64 ahead = now.secsTo(when);
    return ahead > 0 ? ahead : 0;
}

bool isStrongEtag(QByteArrayView value)
{
    return value.size() >= 2 && value.front() == '"' && value.back() == '"';
}

QByteArray resumeValidator(const ResponseHead &head)
{
    return isStrongEtag(head.etag) ? head.etag : head.lastModified;
}

RangeVerdict judgeRangeAnswer(const ResponseHead &head, const RangeAsk &ask)
{
    if (head.status != 206)
        return RangeVerdict::Whole;
    const std::optional<ContentRange> range = parseContentRange(head.contentRange);
    // A 206 nobody asked for is taken only when it holds the whole resource.
    if (ask.from <= 0) {
        const bool whole = range && range->first == 0 && range->total > 0 &&
                           range->last == range->total - 1 &&
                           (head.contentLength < 0 || head.contentLength == range->total);
        return whole ? RangeVerdict::Whole : RangeVerdict::Mismatch;
    }
    const QByteArray &theirs = ask.validator.startsWith('"') ? head.etag : head.lastModified;
    const bool continues =
        range && range->first == ask.from && range->total == ask.total &&
        (head.contentLength < 0 || head.contentLength == range->last - range->first + 1) &&
        (theirs.isEmpty() || theirs == ask.validator);
    return continues ? RangeVerdict::Continues : RangeVerdict::Mismatch;
}
