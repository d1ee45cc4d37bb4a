#include "service/TitleTexts.h"

#include "service/AnsiCodePage.h"
#include "service/FormatTable.h"
#include "service/LooksLikeUtf8.h"

namespace {

QString rawFeedTitle(const QString &feed)
{
    const qsizetype open = feed.indexOf(QStringLiteral("<title"));
    if (open < 0)
        return QString();
    const qsizetype tagEnd = feed.indexOf(QLatin1Char('>'), open);
    if (tagEnd < 0)
        return QString();
    const qsizetype start = tagEnd + 1;
    const qsizetype close = feed.indexOf(QStringLiteral("</title"), start);
    if (close <= start)
        return QString();
    return feed.mid(start, close - start);
}

} // namespace

QString TitleFromFeed(QByteArrayView feed, int formatIndex)
{
    QString title = rawFeedTitle(AnsiToUnicode(feed));
    if (title.isEmpty())
        return title;

    const QByteArray bytes = UnicodeToAnsi(title);
    if (LooksLikeUtf8(bytes))
        title = QString::fromUtf8(bytes);
    if (const VideoFormat *format = formatAt(formatIndex))
        title += format->FeedSuffix;

    if (title.size() > MaxTitleLength)
        return QString();
    return title;
}

QString TextAfterMarker(const QString &page, const QString &marker)
{
    const qsizetype found = page.indexOf(marker);
    if (found < 0)
        return QString();
    const qsizetype start = found + marker.size();
    const qsizetype end = page.indexOf(QLatin1Char('<'), start);
    if (end < 0)
        return QString();
    return QString::fromUtf8(UnicodeToAnsi(QStringView(page).mid(start, end - start)));
}
