#include "net/HttpRanges.h"

#include <QByteArray>
#include <QLocale>

#include <limits>

namespace {

// Decimal digits only, no sign, no blanks; nothing when it overflows.
std::optional<qint64> digits(QByteArrayView text)
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

} // namespace

std::optional<ContentRange> parseContentRange(QByteArrayView value)
{
    const QByteArrayView text = value.trimmed();
    constexpr QByteArrayView unit("bytes ");
    if (text.size() <= unit.size() ||
        text.first(unit.size()).compare(unit, Qt::CaseInsensitive) != 0)
        return std::nullopt;
    const QByteArrayView spec = text.sliced(unit.size()).trimmed();
    const qsizetype dash = spec.indexOf('-');
    const qsizetype slash = spec.indexOf('/');
    if (dash <= 0 || slash <= dash + 1)
        return std::nullopt;
    const std::optional<qint64> first = digits(spec.first(dash));
    const std::optional<qint64> last = digits(spec.sliced(dash + 1, slash - dash - 1));
    if (!first || !last || *last < *first)
        return std::nullopt;
    ContentRange range{*first, *last, -1};
    const QByteArrayView totalText = spec.sliced(slash + 1);
    if (totalText != "*") {
        const std::optional<qint64> total = digits(totalText);
        if (!total || *last >= *total)
            return std::nullopt;
        range.total = *total;
    }
    return range;
}

std::optional<qint64> parseRetryAfter(QByteArrayView value, const QDateTime &now)
{
    const QByteArrayView text = value.trimmed();
    if (const std::optional<qint64> seconds = digits(text))
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
