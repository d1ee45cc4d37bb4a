#include "service/StreamMap.h"

#include "service/UrlDecode.h"

namespace {

const QString MapKey = QStringLiteral("\"url_encoded_fmt_stream_map\"");
// The entries' pairs are separated by an escaped "&" that stays escaped.
const QString PairSeparator = QStringLiteral("\\u0026");

bool isBlank(QChar c)
{
    return c.unicode() >= 1 && c.unicode() <= 32;
}

} // namespace

std::optional<QStringList> StreamMapEntries(const QString &watchPage)
{
    const qsizetype key = watchPage.indexOf(MapKey);
    if (key < 0)
        return std::nullopt;
    // Skip the key and the one character after it, normally the colon.
    const qsizetype open = watchPage.indexOf(QLatin1Char('"'), key + MapKey.size() + 1);
    if (open < 0)
        return QStringList();
    const qsizetype close = watchPage.indexOf(QLatin1Char('"'), open + 1);
    if (close < 0)
        return QStringList();
    return SplitStreamMap(QStringView(watchPage).mid(open + 1, close - open - 1));
}

QStringList SplitStreamMap(QStringView value)
{
    // A NUL ends the value, as it ended the text the map was first written for.
    const qsizetype nul = value.indexOf(QChar(u'\0'));
    if (nul >= 0)
        value = value.left(nul);

    QStringList entries;
    qsizetype i = 0;
    const qsizetype end = value.size();
    while (i < end && isBlank(value.at(i)))
        ++i;
    while (i < end) {
        const qsizetype start = i;
        while (i < end && !isBlank(value.at(i)) && value.at(i) != QLatin1Char(','))
            ++i;
        entries.append(value.mid(start, i - start).toString());
        while (i < end && isBlank(value.at(i)))
            ++i;
        if (i < end && value.at(i) == QLatin1Char(',')) {
            if (i + 1 == end)
                entries.append(QString());
            do
                ++i;
            while (i < end && isBlank(value.at(i)));
        }
    }
    return entries;
}

qsizetype FindStreamEntry(const QStringList &entries, const QString &itagText)
{
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (entries.at(i).contains(itagText, Qt::CaseSensitive))
            return i;
    }
    return -1;
}

std::optional<QString> StreamUrlOfEntry(const QString &entry)
{
    const QString urlKey = QStringLiteral("url=");
    const qsizetype urlAt = entry.indexOf(urlKey);
    if (urlAt < 0)
        return std::nullopt;
    const qsizetype urlStart = urlAt + urlKey.size();
    const qsizetype urlEnd = entry.indexOf(PairSeparator, urlStart);
    QString url = urlEnd < 0 ? entry.mid(urlStart) : entry.mid(urlStart, urlEnd - urlStart);

    QString signature;
    const QString sigKey = QStringLiteral("sig=");
    const qsizetype sigAt = entry.indexOf(sigKey);
    if (sigAt >= 0) {
        const qsizetype sigStart = sigAt + sigKey.size();
        const qsizetype sigEnd = entry.indexOf(QLatin1Char('\\'), sigStart);
        signature = QStringLiteral("&signature=") +
                    (sigEnd < 0 ? entry.mid(sigStart) : entry.mid(sigStart, sigEnd - sigStart));
    }

    url.replace(QStringLiteral("\\/"), QStringLiteral("/"));
    // The service escapes the URL's query twice.
    return UrlDecode(UrlDecode(url)) + signature;
}
