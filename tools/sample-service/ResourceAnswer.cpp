#include "ResourceAnswer.h"

#include <QDateTime>
#include <QLocale>

#include <limits>

namespace {

std::optional<qint64> digits(QByteArrayView text)
{
    if (text.isEmpty())
        return std::nullopt;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
    }
    // Too many digits for a number is still a position past any end.
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    return ok ? value : std::numeric_limits<qint64>::max();
}

std::optional<QByteArray> headerOf(const ServiceRequest &request, QByteArrayView name)
{
    for (const auto &[key, value] : request.headers) {
        if (QByteArrayView(key).compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return std::nullopt;
}

} // namespace

QByteArray ResourceAnswer::lastModified(qint64 version)
{
    const QDateTime first(QDate(2011, 3, 15), QTime(8, 0), Qt::UTC);
    return QLocale::c()
        .toString(first.addDays(version), QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'"))
        .toLatin1();
}

std::optional<ResourceAnswer::ByteRange> ResourceAnswer::parseRange(QByteArrayView value)
{
    value = value.trimmed();
    constexpr QByteArrayView Unit = "bytes=";
    if (value.size() < Unit.size() ||
        value.first(Unit.size()).compare(Unit, Qt::CaseInsensitive) != 0)
        return std::nullopt;
    value = value.sliced(Unit.size());
    const qsizetype dash = value.indexOf('-');
    if (dash < 0)
        return std::nullopt;
    const auto first = digits(value.first(dash));
    if (!first)
        return std::nullopt;
    const QByteArrayView rest = value.sliced(dash + 1);
    if (rest.isEmpty())
        return ByteRange{*first, -1};
    const auto last = digits(rest);
    if (!last || *last < *first)
        return std::nullopt;
    return ByteRange{*first, *last};
}

void ResourceAnswer::apply(const ServiceRequest &request, const QByteArray &name, qint64 version,
                           ServiceReply &reply)
{
    const QByteArray mode = request.queryValue("validator").value_or(QByteArray("both"));
    const QByteArray etag = '"' + name + "-v" + QByteArray::number(version) + '"';
    const QByteArray date = lastModified(version);
    // Anything but the four other words is the default, both.
    const bool strongEtag = mode != "lastmod" && mode != "weak" && mode != "none";
    const bool sendsDate = mode != "etag" && mode != "weak" && mode != "none";

    const qint64 total = reply.body.size();
    const bool ranges = request.queryValue("ranges") != "0";
    std::optional<ByteRange> range;
    if (ranges) {
        if (const auto value = headerOf(request, "Range"))
            range = parseRange(*value);
    }
    // A range continues only the version the client holds; a weak validator
    // never says that, so it never matches.
    if (const auto condition = headerOf(request, "If-Range"); range && condition) {
        if (!(strongEtag && *condition == etag) && !(sendsDate && *condition == date))
            range.reset();
    }
    if (range && range->first >= total) {
        reply = ServiceReply::statusPage(416);
        reply.headers.append(
            qMakePair(QByteArray("Content-Range"), "bytes */" + QByteArray::number(total)));
        return;
    }

    if (mode == "weak")
        reply.headers.append(qMakePair(QByteArray("ETag"), "W/" + etag));
    else if (strongEtag)
        reply.headers.append(qMakePair(QByteArray("ETag"), etag));
    if (sendsDate)
        reply.headers.append(qMakePair(QByteArray("Last-Modified"), date));
    if (!range) {
        if (ranges)
            reply.headers.append(qMakePair(QByteArray("Accept-Ranges"), QByteArray("bytes")));
        return;
    }
    qint64 last = range->last < 0 ? total - 1 : std::min(range->last, total - 1);
    // A server that answers only part of what was asked: honestly (its
    // Content-Range says so) or, without a length, by closing early.
    const auto cap = digits(request.queryValue("rangecap").value_or(QByteArray()));
    const bool closes = request.queryValue("rangeclose") == "1";
    if (cap && *cap > 0 && !closes)
        last = std::min(last, range->first + *cap - 1);
    reply.status = 206;
    reply.headers.append(qMakePair(QByteArray("Content-Range"),
                                   "bytes " + QByteArray::number(range->first) + '-' +
                                       QByteArray::number(last) + '/' + QByteArray::number(total)));
    reply.body = reply.body.slice(range->first, last - range->first + 1);
    if (closes) {
        reply.framing = BodyFraming::Close;
        if (cap && *cap > 0)
            reply.cutAfter = *cap;
    }
}
