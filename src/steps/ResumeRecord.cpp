#include "steps/ResumeRecord.h"

#include "net/HttpRanges.h"

#include <QByteArrayList>
#include <QList>
#include <QStringList>
#include <QUrl>
#include <QUrlQuery>

namespace {

constexpr QByteArrayView FirstLine("Vidlark partial download 1");
constexpr qsizetype MaxRecord = 8192;

// A value never carries a line end into the record.
QByteArray oneLine(QByteArray value)
{
    value.replace('\r', ' ').replace('\n', ' ');
    return value;
}

// "FIRST-END FIRST-END ..."; nothing for any other form.
std::optional<QList<ByteExtent>> parseExtents(QByteArrayView value)
{
    QList<ByteExtent> extents;
    for (const QByteArray &pair : value.toByteArray().split(' ')) {
        const qsizetype dash = pair.indexOf('-');
        if (dash < 0)
            return std::nullopt;
        const std::optional<qint64> first = parseDigits(QByteArrayView(pair).first(dash));
        const std::optional<qint64> end = parseDigits(QByteArrayView(pair).sliced(dash + 1));
        if (!first || !end)
            return std::nullopt;
        extents.append({*first, *end});
    }
    return extents;
}

} // namespace

QByteArray formatResumeRecord(const ResumeRecord &record)
{
    QByteArray text = FirstLine.toByteArray() + '\n';
    text += "stream: " + oneLine(record.identity.toUtf8()) + '\n';
    text += "validator: " + oneLine(record.validator) + '\n';
    text += "total: " + QByteArray::number(record.total) + '\n';
    text += QByteArray("in: ") + (record.inTarget ? "target" : "part") + '\n';
    if (record.held >= 0)
        text += "held: " + QByteArray::number(record.held) + '\n';
    if (!record.extents.isEmpty()) {
        QByteArrayList pairs;
        for (const ByteExtent &extent : record.extents)
            pairs.append(QByteArray::number(extent.first) + '-' + QByteArray::number(extent.end));
        text += "extents: " + pairs.join(' ') + '\n';
    }
    return text;
}

std::optional<ResumeRecord> parseResumeRecord(QByteArrayView text)
{
    if (text.size() > MaxRecord)
        return std::nullopt;
    const QList<QByteArray> lines = text.toByteArray().split('\n');
    if (lines.isEmpty() || lines.first() != FirstLine)
        return std::nullopt;
    ResumeRecord record;
    bool hasStream = false;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray &line = lines.at(i);
        const qsizetype colon = line.indexOf(": ");
        if (colon <= 0)
            continue;
        const QByteArrayView key = QByteArrayView(line).first(colon);
        const QByteArrayView value = QByteArrayView(line).sliced(colon + 2);
        if (key == "stream") {
            record.identity = QString::fromUtf8(value);
            hasStream = true;
        } else if (key == "validator") {
            record.validator = value.toByteArray();
        } else if (key == "total") {
            record.total = parseDigits(value).value_or(-1);
        } else if (key == "in") {
            if (value != "target" && value != "part")
                return std::nullopt;
            record.inTarget = value == "target";
        } else if (key == "held") {
            const std::optional<qint64> held = parseDigits(value);
            if (!held)
                return std::nullopt;
            record.held = *held;
        } else if (key == "extents") {
            std::optional<QList<ByteExtent>> extents = parseExtents(value);
            if (!extents)
                return std::nullopt;
            record.extents = std::move(*extents);
        }
    }
    if (!hasStream || record.validator.isEmpty() || record.total <= 0 || record.held > record.total)
        return std::nullopt;
    if (!record.extents.isEmpty() && (!ByteExtents::isOrderly(record.extents, record.total) ||
                                      record.held != ByteExtents(record.extents).prefix()))
        return std::nullopt;
    return record;
}

QString StreamIdentity(const QString &url)
{
    static const QStringList Volatile = {
        QStringLiteral("expire"), QStringLiteral("sig"),    QStringLiteral("signature"),
        QStringLiteral("ip"),     QStringLiteral("ipbits"), QStringLiteral("sparams"),
        QStringLiteral("key"),    QStringLiteral("lsig"),   QStringLiteral("lmt"),
    };
    const QUrl parsed(url);
    if (!parsed.isValid())
        return url;
    QUrlQuery query(parsed);
    QList<QPair<QString, QString>> kept;
    for (const auto &item : query.queryItems(QUrl::FullyEncoded)) {
        if (!Volatile.contains(item.first, Qt::CaseInsensitive))
            kept.append(item);
    }
    QUrlQuery stable;
    stable.setQueryItems(kept);
    QString identity = parsed.path(QUrl::FullyEncoded);
    if (!kept.isEmpty())
        identity += QLatin1Char('?') + stable.query(QUrl::FullyEncoded);
    return identity;
}
